// Menus, pop-up menus and menu items on Qt actions.
#include "app/Menus.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "app/ErrorReport.h"
#include "app/Hints.h"
#include "components/ZalExcpt.h"
#include "platform/QtConvert.h"

namespace {
const char* const kItemProperty = "marvolt.item";

// The modifiers a shortcut can hold; the keypad flag and others are not part of it.
constexpr Qt::KeyboardModifiers kShortCutModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// Items of a menu widget show their hints while highlighted; closing the menu clears it.
void TrackHints(QWidget* widget) {
    auto hovered = [](QAction* action) {
        if (TMenuItem* item = TMenuItem::FromAction(action)) ShowLongHint(item->Hint());
    };
    if (auto* bar = qobject_cast<QMenuBar*>(widget)) QObject::connect(bar, &QMenuBar::hovered, bar, hovered);
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        QObject::connect(menu, &QMenu::hovered, menu, hovered);
        QObject::connect(menu, &QMenu::aboutToHide, menu, [] { ShowLongHint(""); });
    }
}
} // namespace

// --- TMenuItem ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), action_(new QAction) {
    action_->setProperty(kItemProperty, QVariant::fromValue(static_cast<void*>(this)));
    QObject::connect(action_, &QAction::triggered, action_, [this] {
        action_->setChecked(checked_); // the check mark follows Checked only
        Click();
    });
}

TMenuItem::~TMenuItem() {
    Destroying();
    for (TMenuItem* child : items_) child->parent_ = nullptr;
    items_.clear();
    if (parent_) parent_->Remove(this);
    delete subMenu_.data();
    delete action_.data();
}

TMenuItem* TMenuItem::FromAction(const QAction* action) {
    if (!action) return nullptr;
    const QVariant v = action->property(kItemProperty);
    return v.isValid() ? static_cast<TMenuItem*>(v.value<void*>()) : nullptr;
}

void TMenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    ApplyCaption();
}

void TMenuItem::ApplyCaption() {
    if (!action_) return;
    // A separator keeps no text: a style would draw it as a section title.
    const bool separator = caption_ == "-";
    action_->setSeparator(separator);
    action_->setText(separator ? QString() : DisplayString(caption_));
}

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    if (!action_) return;
    action_->setCheckable(checked);
    action_->setChecked(checked);
}

void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (action_) action_->setEnabled(enabled);
}

void TMenuItem::SetVisible(bool visible) {
    visible_ = visible;
    if (action_) action_->setVisible(visible);
}

void TMenuItem::SetShortCut(const std::string& shortCut) {
    QKeySequence keys;
    if (!shortCut.empty()) {
        keys = QKeySequence::fromString(QString::fromStdString(shortCut), QKeySequence::PortableText);
        if (keys.count() != 1 || keys[0].key() == Qt::Key_unknown || keys[0].key() == 0)
            throw EConvertError("'" + shortCut + "' is not a valid shortcut");
    }
    shortCut_ = shortCut;
    keys_ = keys;
    if (action_) {
        action_->setShortcut(keys);
        action_->setShortcutContext(Qt::WindowShortcut);
    }
}

bool TMenuItem::EffectivelyEnabled() const {
    for (const TMenuItem* item = this; item; item = item->parent_)
        if (!item->enabled_) return false;
    return true;
}

void TMenuItem::Click() {
    if (EffectivelyEnabled() && OnClick) RunCommand([this] { OnClick(this); });
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->menu_;
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[size_t(index)];
}

void TMenuItem::EnsureSubMenu() {
    if (subMenu_ || menu_) return; // a root item's widget is its menu's
    subMenu_ = new QMenu;
    TrackHints(subMenu_);
    QObject::connect(subMenu_, &QMenu::aboutToShow, subMenu_, [this] { Click(); });
    if (action_) action_->setMenu(subMenu_.data());
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item == this) return;
    if (item->parent_) item->parent_->Remove(item);
    EnsureSubMenu();
    items_.push_back(item);
    item->parent_ = this;
    QWidget* container = menu_ ? menu_->Widget() : subMenu_.data();
    if (container && item->action_) container->addAction(item->action_);
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    QWidget* container = menu_ ? menu_->Widget() : subMenu_.data();
    if (container && item->action_) container->removeAction(item->action_);
}

TMenuItem* TMenuItem::FindShortCut(const QKeyEvent& key) {
    const QKeyCombination pressed(key.modifiers() & kShortCutModifiers, Qt::Key(key.key()));
    if (!keys_.isEmpty() && keys_[0] == pressed) return this;
    for (TMenuItem* child : items_)
        if (TMenuItem* found = child->FindShortCut(key)) return found;
    return nullptr;
}

// --- menus -------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner) { root_.menu_ = this; }

TMenu::~TMenu() { Destroying(); }

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner), bar_(new QMenuBar) { TrackHints(bar_); }

TMainMenu::~TMainMenu() {
    Destroying();
    // The bar may have been handed to a window, which then owns and deletes it.
    delete bar_.data();
}

QWidget* TMainMenu::Widget() const { return bar_; }

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner), popup_(new QMenu) { TrackHints(popup_); }

TPopupMenu::~TPopupMenu() {
    Destroying();
    delete popup_.data();
}

QWidget* TPopupMenu::Widget() const { return popup_; }

void TPopupMenu::Popup(int x, int y) {
    if (popup_) popup_->popup(QPoint(x, y));
}
