// The shell's forms: window, show and close protocol, MDI frame and children, handlers.
#include "app/ShellForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/FormReader.h"
#include "app/Menus.h"
#include "app/ResourcePixmap.h"
#include "app/ShellApp.h"
#include "app/StdControls.h"
#include "platform/QtConvert.h"

namespace {
const char* const kFormProperty = "marvolt.form";

TShellForm* FormOfWindow(const QWidget* window) {
    if (!window) return nullptr;
    const QVariant v = window->property(kFormProperty);
    return v.isValid() ? static_cast<TShellForm*>(v.value<void*>()) : nullptr;
}

// Hands the window's close requests to its form, and a dialog's Escape to its Cancel button.
class TWindowWatcher : public QObject {
public:
    TWindowWatcher(TShellForm& form, QObject* parent) : QObject(parent), form_(form) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape &&
            static_cast<QKeyEvent*>(e)->modifiers() == Qt::NoModifier)
            return form_.PressCancelButton();
        if (e->type() != QEvent::Close) return false;
        bool allowed = false;
        if (Application)
            Application->Guard([&] { allowed = form_.HandleCloseRequest(); });
        else
            allowed = form_.HandleCloseRequest();
        if (allowed) return false;
        e->ignore();
        return true;
    }

private:
    TShellForm& form_;
};
} // namespace

EFormError::EFormError(const std::string& form, int line, const std::string& what)
    : Exception("Error reading form " + form + (line > 0 ? " at line " + std::to_string(line) : "") + ": " +
                what),
      Form(form), Line(line) {}

TShellForm::TShellForm(TComponent* owner) : TShellWinControl(owner) {
    auto* client = new QWidget;
    SetWidget(client);
    SetClient(client);
    SetVisible(false);
}

void TShellForm::DoDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (OnDestroy) OnDestroy(this);
}

TShellForm::~TShellForm() {
    Destroying();
    const bool wasChild = formStyle_ == fsMDIChild;
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
    delete window_.data();
    // A document window gone changes the active form.
    if (wasChild && Screen) Screen->ActiveFormChanged();
}

void TShellForm::LoadForm() {
    ReadFormResource(*this);
    BindComponents();
    if (OnCreate) OnCreate(this);
    if (Visible()) Show();
}

void TShellForm::Loaded() {
    TShellWinControl::Loaded();
    CreateLibraryWindows();
    QWidget* previous = nullptr;
    ApplyTabOrder(previous);
}

bool TShellForm::PressCancelButton() {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* button = dynamic_cast<TButton*>(Components(i)); button && button->Cancel() && button->Enabled()) {
            button->Click();
            return true;
        }
    return false;
}

void TShellForm::CreateWindow() {
    if (window_) return;
    QWidget* client = Client();
    switch (formStyle_) {
    case fsMDIForm: {
        auto* main = new QMainWindow;
        main->setCentralWidget(client);
        mdiArea_ = new QMdiArea;
        mdiArea_->setActivationOrder(QMdiArea::CreationOrder);
        SetClientFiller(mdiArea_);
        QObject::connect(mdiArea_, &QMdiArea::subWindowActivated, mdiArea_, [] {
            if (Screen) Screen->ActiveFormChanged();
        });
        window_ = main;
        break;
    }
    case fsMDIChild: {
        auto* frame = Application ? Application->MainForm() : nullptr;
        if (!frame || !frame->MdiArea())
            throw EFormError(ClassName(), 0, "Cannot create form. No MDI forms are currently active");
        auto* sub = new QMdiSubWindow;
        sub->setWidget(client);
        frame->MdiArea()->addSubWindow(sub);
        window_ = sub;
        break;
    }
    case fsNormal: {
        auto* dialog = new QDialog(Application && Application->MainForm() ? Application->MainForm()->Window()
                                                                          : nullptr);
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(client);
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (borderIcons_ & (1 << biSystemMenu)) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        dialog->setWindowFlags(flags);
        window_ = dialog;
        break;
    }
    }
    window_->setProperty(kFormProperty, QVariant::fromValue(static_cast<void*>(this)));
    window_->setWindowTitle(DisplayString(caption_));
    ApplyIcon();
    windowWatcher_ = new TWindowWatcher(*this, window_);
    window_->installEventFilter(windowWatcher_);
    ApplyGeometry();
}

void TShellForm::ApplyGeometry() {
    if (!window_) return;
    using enum TFormBorderStyle;
    const bool fixed = borderStyle_ == bsDialog || borderStyle_ == bsSingle || borderStyle_ == bsToolWindow;
    if (clientWidth_ > 0 && clientHeight_ > 0) {
        Client()->resize(clientWidth_, clientHeight_);
        // The client places its controls itself and gives the dialog's layout no size
        // hint: without a minimum a fixed dialog is fixed at 0 x 0, which X never maps.
        if (fixed && formStyle_ == fsNormal) Client()->setMinimumSize(clientWidth_, clientHeight_);
        window_->adjustSize();
        if (fixed && formStyle_ == fsNormal) window_->setFixedSize(window_->sizeHint());
    } else if (Width() > 0 && Height() > 0) {
        QSize size(Width(), Height());
        if (position_ == poDefault) {
            // The platform chooses the size: most of the frame's area for a document
            // window, two thirds of the screen for a top-level window.
            if (formStyle_ == fsMDIChild) {
                if (QMdiArea* area = Application->MainForm()->MdiArea())
                    size = size.expandedTo(area->viewport()->size() * 3 / 4);
            } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
                size = size.expandedTo(screen->availableGeometry().size() * 2 / 3);
            }
        }
        window_->resize(size);
    }
    switch (position_) {
    case poDesigned: window_->move(Left(), Top()); break;
    case poScreenCenter:
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = window_->frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            window_->move(r.topLeft());
        }
        break;
    default: break; // the window system places it
    }
}

void TShellForm::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (window_) window_->setWindowTitle(DisplayString(caption));
}

void TShellForm::SetIcon(const std::string& resourceName) {
    // An unreadable name raises before anything changes.
    iconImage_ = resourceName.empty() ? QIcon() : QIcon(ResourcePixmap(resourceName));
    icon_ = resourceName;
    ApplyIcon();
}

void TShellForm::ApplyIcon() {
    if (!window_) return;
    window_->setWindowIcon(iconImage_);
    if (formStyle_ == fsMDIForm) QApplication::setWindowIcon(iconImage_);
}

void TShellForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    if (menu_) RemoveFreeNotification(menu_);
    menu_ = menu;
    if (!menu) return;
    FreeNotification(menu);
    if (auto* main = qobject_cast<QMainWindow*>(window_.data())) main->setMenuBar(menu->MenuBar());
}

void TShellForm::SetWindowMenu(TMenuItem* item) {
    if (item == windowMenu_) return;
    if (windowMenu_) RemoveFreeNotification(windowMenu_);
    windowMenu_ = item;
    if (!item) return;
    FreeNotification(item);
    if (!item->SubMenu()) return;
    // The list of document windows follows the menu's own items, the active one checked.
    QMenu* menu = item->SubMenu();
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] {
        if (!windowMenu_ || windowMenu_->SubMenu() != menu) return;
        for (QAction* a : menu->actions())
            if (a->property("marvolt.windowlist").toBool()) {
                menu->removeAction(a);
                delete a;
            }
        const int count = MDIChildCount();
        TShellForm* active = ActiveMDIChild();
        for (int i = 0; i < count; ++i) {
            TShellForm* child = MDIChildren(i);
            if (i == 0) menu->addSeparator()->setProperty("marvolt.windowlist", true);
            QAction* a = menu->addAction(QStringLiteral("&%1 ").arg(i + 1) + DisplayString(child->Caption()));
            a->setProperty("marvolt.windowlist", true);
            a->setCheckable(true);
            a->setChecked(child == active);
            QPointer<QWidget> window = child->Window();
            QObject::connect(a, &QAction::triggered, a, [this, window] {
                auto* sub = qobject_cast<QMdiSubWindow*>(window.data());
                if (!sub || !mdiArea_) return;
                if (sub->isMinimized()) sub->showNormal();
                mdiArea_->setActiveSubWindow(sub);
            });
        }
    });
}

void TShellForm::Notification(TComponent* component, TOperation operation) {
    TShellWinControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == menu_) menu_ = nullptr;
    if (component == windowMenu_) windowMenu_ = nullptr;
    std::erase_if(bindings_, [component](const auto& b) { return b.first.first == component; });
    parents_.erase(component);
}

int TShellForm::MDIChildCount() const {
    int count = 0;
    if (mdiArea_)
        for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder))
            if (TShellForm* form = FormOfWindow(sub); form && !form->closing_) ++count;
    return count;
}

TShellForm* TShellForm::MDIChildren(int index) const {
    int i = 0;
    if (mdiArea_)
        for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder))
            if (TShellForm* form = FormOfWindow(sub); form && !form->closing_ && i++ == index) return form;
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TShellForm* TShellForm::ActiveMDIChild() const {
    if (!mdiArea_) return nullptr;
    if (TShellForm* form = FormOfWindow(mdiArea_->currentSubWindow()); form && !form->closing_) return form;
    // The current window is going away: the most recently active of the others.
    const QList<QMdiSubWindow*> history = mdiArea_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); it != history.rend(); ++it)
        if (TShellForm* form = FormOfWindow(*it); form && !form->closing_ && (*it)->isVisible()) return form;
    return nullptr;
}

void TShellForm::Show() {
    if (!window_) return;
    const bool wasHidden = !window_->isVisible() || !shown_;
    TShellControl::SetVisible(true);
    window_->show();
    if (formStyle_ == fsMDIChild) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window_.data()); sub && sub->mdiArea())
            sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        window_->raise();
        window_->activateWindow();
    }
    shown_ = true;
    if (wasHidden && OnShow) OnShow(this);
}

void TShellForm::Hide() {
    TShellControl::SetVisible(false);
    if (window_) window_->hide();
}

void TShellForm::Close() {
    if (window_) window_->close();
}

bool TShellForm::CloseQuery() {
    // A frame asks each document window first, in order; the first refusal ends it.
    if (formStyle_ == fsMDIForm)
        for (int i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery()) return false;
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

bool TShellForm::HandleCloseRequest() {
    if (closing_) return true;
    if (!CloseQuery()) return false;
    TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
    if (OnClose) OnClose(this, action);
    const bool isMain = Application && Application->MainForm() == this;
    switch (action) {
    case caNone: return false;
    case caMinimize: SetWindowState(wsMinimized); return false;
    case caHide:
        TShellControl::SetVisible(false);
        if (isMain) Application->Terminate();
        return true;
    case caFree:
        TShellControl::SetVisible(false);
        if (isMain) {
            Application->Terminate();
        } else {
            closing_ = true;
            if (Application) Application->Release(this);
            if (Screen) Screen->ActiveFormChanged();
        }
        return true;
    }
    return false;
}

void TShellForm::SetModalResult(int result) {
    modalResult_ = result;
    auto* dialog = qobject_cast<QDialog*>(window_.data());
    if (result != 0 && dialog && dialog->isVisible()) dialog->done(result);
}

int TShellForm::ShowModal() {
    auto* dialog = qobject_cast<QDialog*>(window_.data());
    if (!dialog || dialog->isVisible()) throw EFormError(ClassName(), 0, "Cannot make a visible window modal");
    modalResult_ = 0;
    if (OnShow) OnShow(this);
    TShellControl::SetVisible(true);
    const int result = dialog->exec();
    TShellControl::SetVisible(false);
    modalResult_ = result != 0 ? result : 2;
    return modalResult_;
}

TWindowState TShellForm::WindowState() const {
    if (!window_) return wsNormal;
    if (window_->isMinimized()) return wsMinimized;
    if (window_->isMaximized()) return wsMaximized;
    return wsNormal;
}

void TShellForm::SetWindowState(TWindowState state) {
    if (!window_) return;
    switch (state) {
    case wsMinimized: window_->showMinimized(); break;
    case wsMaximized: window_->showMaximized(); break;
    case wsNormal: window_->showNormal(); break;
    }
}

const std::any* TShellForm::FindHandler(std::string_view name) const {
    for (const auto& [handlerName, handler] : handlers_)
        if (SameName(handlerName, name)) return &handler;
    return nullptr;
}

void TShellForm::NoteStoredName(const TComponent* component, const std::string& property, const std::string& name) {
    if (name.empty())
        bindings_.erase({component, property});
    else
        bindings_[{component, property}] = name;
}

std::string TShellForm::StoredName(const TComponent* component, const std::string& property) const {
    auto it = bindings_.find({component, property});
    return it == bindings_.end() ? std::string() : it->second;
}

void TShellForm::NoteParent(const TComponent* child, TComponent* parent) { parents_[child] = parent; }

TComponent* TShellForm::DescriptionParent(const TComponent* component) const {
    auto it = parents_.find(component);
    return it == parents_.end() ? const_cast<TShellForm*>(this) : it->second;
}
