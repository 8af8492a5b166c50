// The shell's visual components: widgets, alignment, and hosts for library controls.
#include "app/ShellControls.h"

#include <QEvent>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>

#include "app/FontMap.h"
#include "app/Hints.h"
#include "app/Menus.h"
#include "components/Controls.h"
#include "components/ZalSpeed.h"
#include "platform/NativeWindow.h"
#include "platform/QtConvert.h"

namespace {
const char* const kControlProperty = "marvolt.control";

// Realigns its control when the client area changes size.
class TRealigner : public QObject {
public:
    TRealigner(TShellWinControl& control, QObject* parent) : QObject(parent), control_(control) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Resize || e->type() == QEvent::Show) control_.Realign();
        return QObject::eventFilter(watched, e);
    }

private:
    TShellWinControl& control_;
};
} // namespace

// The library surface under the shell controls of a parent: it paints the button face
// and holds the library's windowless controls, whose hints it shows.
class TGraphicSurface : public TCustomControl {
public:
    TGraphicSurface(TComponent* owner, TShellWinControl& host) : TCustomControl(owner), host_(host) {
        TWindowStyle style;
        style.TabStop = false;
        Window().SetStyle(style);
        SetParentWidget(Window(), host.Client());
        Window().SetFillParent(true);
        HandleNeeded();
        if (QWidget* w = WidgetOf(Window().Handle())) {
            w->lower();
            tracker_ = new TTracker(*this, w);
            ClientWidgetOf(Window().Handle())->installEventFilter(tracker_);
        }
    }
    const char* ClassName() const override { return "TGraphicSurface"; }

    // The surface shows (and takes the pointer) only where its controls are, so that the
    // host's own drawing stays visible around them.
    void UpdateMask() {
        QWidget* w = HandleAllocated() ? WidgetOf(Window().Handle()) : nullptr;
        if (!w) return;
        QRegion region;
        for (int i = 0; i < ControlCount(); ++i)
            if (Controls(i)->Visible()) region += ToQRect(Controls(i)->BoundsRect());
        w->setVisible(!region.isEmpty());
        if (!region.isEmpty()) w->setMask(region);
    }

    // The hint of a windowless control (the library's speed button carries one).
    static std::string HintOf(const TGraphicControl* control) {
        auto* button = dynamic_cast<const TZalCustomSpeedButton*>(control);
        return button ? button->Hint : std::string();
    }
    bool ShowsHint(const TGraphicControl* control) const {
        auto* button = dynamic_cast<const TZalCustomSpeedButton*>(control);
        if (!button) return false;
        return button->ParentShowHint ? host_.EffectiveShowHint() : button->ShowHint;
    }

    // The windowless control under a point of the client area, or nullptr.
    TGraphicControl* ControlAt(QPoint p) const {
        for (int i = ControlCount() - 1; i >= 0; --i) {
            auto* g = dynamic_cast<TGraphicControl*>(Controls(i));
            if (g && g->Visible() && g->BoundsRect().Contains(TPoint{p.x(), p.y()})) return g;
        }
        return nullptr;
    }

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_ERASEBKGND) {
            if (TCanvas* canvas = MessageCanvas(message)) canvas->FillRect(ClientRect(), clBtnFace);
            message.Result = 1;
            return;
        }
        TCustomControl::WndProc(message);
    }
    void Paint(TCanvas& canvas) override { canvas.FillRect(canvas.GetClipBox(), clBtnFace); }

private:
    class TTracker : public QObject {
    public:
        TTracker(TGraphicSurface& surface, QObject* parent) : QObject(parent), surface_(surface) {}

    protected:
        bool eventFilter(QObject*, QEvent* e) override {
            switch (e->type()) {
            case QEvent::MouseMove: {
                TGraphicControl* g = surface_.ControlAt(static_cast<QMouseEvent*>(e)->position().toPoint());
                if (g != hovered_) {
                    hovered_ = g;
                    ShowLongHint(GetLongHint(HintOf(g)));
                }
                break;
            }
            case QEvent::Leave: hovered_ = nullptr; break;
            case QEvent::ToolTip: {
                auto* help = static_cast<QHelpEvent*>(e);
                TGraphicControl* g = surface_.ControlAt(help->pos());
                const std::string tip = GetShortHint(HintOf(g));
                if (tip.empty() || !surface_.ShowsHint(g))
                    QToolTip::hideText();
                else
                    QToolTip::showText(help->globalPos(), DisplayString(tip));
                return true;
            }
            default: break;
            }
            return false;
        }

    private:
        TGraphicSurface& surface_;
        TGraphicControl* hovered_ = nullptr;
    };

    TShellWinControl& host_;
    TTracker* tracker_ = nullptr;
};

QFont ToQFont(const TShellFont& font) {
    QFont f(QString::fromStdString(InstalledFamily(font.Name)));
    if (font.Height > 0) f.setPixelSize(font.Height);
    f.setBold(font.Style.Contains(fsBold));
    f.setItalic(font.Style.Contains(fsItalic));
    f.setUnderline(font.Style.Contains(fsUnderline));
    f.setStrikeOut(font.Style.Contains(fsStrikeOut));
    return f;
}

// --- TShellControl -----------------------------------------------------------------------

TShellControl::TShellControl(TComponent* owner) : TComponent(owner) {}

TShellControl::~TShellControl() {
    Destroying();
    if (parent_) parent_->RemoveSlot(this);
    delete widget_.data();
}

void TShellControl::SetWidget(QWidget* widget) {
    widget_ = widget;
    widget->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(this)));
    widget->setEnabled(enabled_);
    FontChanged();
}

TShellControl* TShellControl::FromWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(kControlProperty);
        if (v.isValid()) return static_cast<TShellControl*>(v.value<void*>());
    }
    return nullptr;
}

void TShellControl::SetParent(TShellWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveSlot(this);
    parent_ = parent;
    if (parent_) {
        parent_->AddShellChild(*this);
        if (parentFont_) FontChanged();
    } else if (widget_) {
        widget_->setParent(nullptr);
    }
}

void TShellControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) {
        if (TShellWinControl::TSlot* slot = parent_->SlotOf(this)) slot->Align = align;
        parent_->Realign();
    }
}

void TShellControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (parent_)
        parent_->Realign();
    else if (widget_ && !widget_->isWindow())
        widget_->setGeometry(left_, top_, width_, height_);
}

void TShellControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (widget_ && parent_) widget_->setVisible(visible);
    if (parent_) parent_->Realign();
}

void TShellControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (widget_) widget_->setEnabled(enabled);
}

void TShellControl::SetShowHint(bool show) {
    showHint_ = show;
    parentShowHint_ = false;
}

void TShellControl::SetParentShowHint(bool parent) { parentShowHint_ = parent; }

bool TShellControl::EffectiveShowHint() const {
    if (parentShowHint_ && parent_) return parent_->EffectiveShowHint();
    return showHint_;
}

const TShellFont& TShellControl::Font() const {
    if (parentFont_ && parent_) return parent_->Font();
    return font_;
}

void TShellControl::SetFont(const TShellFont& font) {
    font_ = font;
    parentFont_ = false;
    FontChanged();
}

void TShellControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_) return;
    if (!parentFont) font_ = Font(); // keep what it shows
    parentFont_ = parentFont;
    FontChanged();
}

void TShellControl::FontChanged() {
    if (!widget_) return;
    widget_->setFont(ToQFont(Font()));
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(Font().Color));
    widget_->setPalette(palette);
}

void TShellControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
}

// --- TShellWinControl --------------------------------------------------------------------

TShellWinControl::TShellWinControl(TComponent* owner) : TShellControl(owner) {}

TShellWinControl::~TShellWinControl() {
    Destroying();
    // Children leave first, while the client widget they live in still exists.
    for (TComponent* child : Children()) {
        if (auto* shell = dynamic_cast<TShellControl*>(child)) shell->parent_ = nullptr;
        if (auto* control = dynamic_cast<TControl*>(child)) control->SetParent(nullptr);
        RemoveFreeNotification(child);
    }
    for (TSlot& slot : slots_)
        if (dynamic_cast<TWinControl*>(slot.Component)) delete slot.Widget.data(); // library hosts
    slots_.clear();
    delete surface_;
}

void TShellWinControl::SetClient(QWidget* client) {
    client_ = client;
    realigner_ = new TRealigner(*this, client);
    client->installEventFilter(realigner_);
}

void TShellWinControl::SetClientFiller(QWidget* filler) {
    filler_ = filler;
    if (filler) filler->setParent(client_);
    Realign();
}

TShellWinControl::TSlot* TShellWinControl::SlotOf(const TComponent* component) {
    for (TSlot& slot : slots_)
        if (slot.Component == component) return &slot;
    return nullptr;
}

const TShellWinControl::TSlot* TShellWinControl::SlotOf(const TComponent* component) const {
    return const_cast<TShellWinControl*>(this)->SlotOf(component);
}

void TShellWinControl::RemoveSlot(const TComponent* component) {
    std::erase_if(slots_, [component](const TSlot& s) { return s.Component == component; });
    Realign();
}

void TShellWinControl::AddShellChild(TShellControl& child) {
    slots_.push_back(TSlot{&child, child.Widget(), child.Align(), {}});
    if (QWidget* w = child.Widget()) {
        w->setParent(client_);
        w->setVisible(child.Visible());
        w->raise();
    }
    Realign();
}

void TShellWinControl::InsertLibraryControl(TWinControl& control) {
    auto* host = new QWidget(client_);
    slots_.push_back(TSlot{&control, host, alNone, {}});
    FreeNotification(&control);
    control.SetParent(nullptr);
    SetParentWidget(control.Window(), host);
    control.Window().SetFillParent(true);
    host->show();
    Realign();
}

void TShellWinControl::InsertGraphicControl(TGraphicControl& control) {
    if (!surface_) surface_ = new TGraphicSurface(nullptr, *this);
    slots_.push_back(TSlot{&control, nullptr, alNone, {}});
    FreeNotification(&control);
    control.SetParent(surface_);
    surface_->UpdateMask();
}

TLibraryPlacement* TShellWinControl::PlacementOf(const TComponent& control) {
    TSlot* slot = SlotOf(&control);
    return slot && dynamic_cast<const TWinControl*>(&control) ? &slot->Placement : nullptr;
}

const TLibraryPlacement* TShellWinControl::PlacementOf(const TComponent& control) const {
    return const_cast<TShellWinControl*>(this)->PlacementOf(control);
}

namespace {
// Shows a library control's pop-up menu on its context-menu request.
class TContextMenuFilter : public QObject {
public:
    TContextMenuFilter(TShellWinControl& holder, TWinControl& control, QObject* parent)
        : QObject(parent), holder_(holder), control_(control) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::ContextMenu) return false;
        const TLibraryPlacement* placement = holder_.PlacementOf(control_);
        if (!placement || !placement->PopupMenu) return false;
        const QPoint at = static_cast<QContextMenuEvent*>(e)->globalPos();
        placement->PopupMenu->Popup(at.x(), at.y());
        return true;
    }

private:
    TShellWinControl& holder_;
    TWinControl& control_;
};
} // namespace

void TShellWinControl::CreateLibraryWindows() {
    for (TSlot& slot : slots_) {
        if (auto* holder = dynamic_cast<TShellWinControl*>(slot.Component)) holder->CreateLibraryWindows();
        auto* control = dynamic_cast<TWinControl*>(slot.Component);
        if (!control || control->HandleAllocated()) continue;
        control->HandleNeeded();
        if (QWidget* client = ClientWidgetOf(control->Handle()))
            client->installEventFilter(new TContextMenuFilter(*this, *control, client));
    }
    Realign();
}

std::vector<TComponent*> TShellWinControl::Children() const {
    std::vector<TComponent*> out;
    for (const TSlot& slot : slots_) out.push_back(slot.Component);
    return out;
}

void TShellWinControl::Notification(TComponent* component, TOperation operation) {
    TShellControl::Notification(component, operation);
    if (operation != opRemove) return;
    for (TSlot& slot : slots_)
        if (slot.Placement.PopupMenu == component) slot.Placement.PopupMenu = nullptr;
    if (TSlot* slot = SlotOf(component); slot && !dynamic_cast<TShellControl*>(component)) {
        if (dynamic_cast<TWinControl*>(component) && slot->Widget) slot->Widget->deleteLater();
        RemoveSlot(component);
    }
}

void TShellWinControl::FontChanged() {
    TShellControl::FontChanged();
    for (TSlot& slot : slots_)
        if (auto* shell = dynamic_cast<TShellControl*>(slot.Component); shell && shell->ParentFont())
            shell->FontChanged();
}

namespace {
// The design rectangle of a slot's control.
template <class TSlot> QRect DesignRect(const TSlot& slot) {
    if (auto* shell = dynamic_cast<TShellControl*>(slot.Component))
        return QRect(shell->Left(), shell->Top(), shell->Width(), shell->Height());
    const TLibraryPlacement& p = slot.Placement;
    return QRect(p.Left, p.Top, p.Width, p.Height);
}

template <class TSlot> TAlign SlotAlign(const TSlot& slot) {
    return dynamic_cast<TWinControl*>(slot.Component) ? slot.Placement.Align : slot.Align;
}

bool SlotVisible(TComponent* component) {
    if (auto* shell = dynamic_cast<TShellControl*>(component)) return shell->Visible();
    if (auto* control = dynamic_cast<TControl*>(component)) return control->Visible();
    return false;
}
} // namespace

void TShellWinControl::Realign() {
    if (!client_ || IsDestroying()) return;
    QRect rest = client_->contentsRect();
    // Docked controls take their side in order of their design position, nearest first.
    const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign align : order) {
        std::vector<TSlot*> docked;
        for (TSlot& slot : slots_)
            if (SlotAlign(slot) == align && slot.Widget && SlotVisible(slot.Component)) docked.push_back(&slot);
        std::stable_sort(docked.begin(), docked.end(), [align](TSlot* a, TSlot* b) {
            const QRect ra = DesignRect(*a), rb = DesignRect(*b);
            switch (align) {
            case alTop: return ra.top() < rb.top();
            case alBottom: return ra.bottom() > rb.bottom();
            case alLeft: return ra.left() < rb.left();
            case alRight: return ra.right() > rb.right();
            default: return false;
            }
        });
        for (TSlot* slot : docked) {
            const QRect design = DesignRect(*slot);
            QRect r;
            switch (align) {
            case alTop:
                r = QRect(rest.left(), rest.top(), rest.width(), design.height());
                rest.setTop(rest.top() + design.height());
                break;
            case alBottom:
                r = QRect(rest.left(), rest.bottom() + 1 - design.height(), rest.width(), design.height());
                rest.setBottom(rest.bottom() - design.height());
                break;
            case alLeft:
                r = QRect(rest.left(), rest.top(), design.width(), rest.height());
                rest.setLeft(rest.left() + design.width());
                break;
            case alRight:
                r = QRect(rest.right() + 1 - design.width(), rest.top(), design.width(), rest.height());
                rest.setRight(rest.right() - design.width());
                break;
            default: r = rest; break;
            }
            slot->Widget->setGeometry(r);
        }
    }
    for (TSlot& slot : slots_)
        if (SlotAlign(slot) == alNone && slot.Widget) slot.Widget->setGeometry(DesignRect(slot));
    if (filler_) filler_->setGeometry(rest);
    if (surface_) surface_->UpdateMask();
}

void TShellWinControl::ApplyTabOrder(QWidget*& previous) {
    std::vector<TShellControl*> children;
    for (TSlot& slot : slots_)
        if (auto* shell = dynamic_cast<TShellControl*>(slot.Component)) children.push_back(shell);
    std::stable_sort(children.begin(), children.end(), [](TShellControl* a, TShellControl* b) {
        const unsigned x = unsigned(a->TabOrder()), y = unsigned(b->TabOrder()); // -1 sorts last
        return x < y;
    });
    for (TShellControl* child : children) {
        QWidget* w = child->Widget();
        if (w && w->focusPolicy() & Qt::TabFocus) {
            if (previous) QWidget::setTabOrder(previous, w);
            previous = w;
        }
        if (auto* holder = dynamic_cast<TShellWinControl*>(child)) holder->ApplyTabOrder(previous);
    }
}
