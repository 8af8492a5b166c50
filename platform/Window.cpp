#include "platform/Window.h"

#include <QApplication>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <unordered_map>

#include "platform/CanvasQt.h"
#include "platform/NativeWindow.h"
#include "platform/QtConvert.h"
#include "platform/SysColors.h"
#include "platform/WindowlessControlImpl.h"

namespace {
std::unordered_map<HWND, TNativeWidget*>& Registry() {
    static std::unordered_map<HWND, TNativeWidget*> windows;
    return windows;
}
uintptr_t g_lastHandle = 0x10000;
HWND g_capture = nullptr;

HWND NewHandle() { return reinterpret_cast<HWND>(g_lastHandle += 0x10); }

void CollectAllocated(TWindow* w, std::vector<TWindow*>& out) {
    for (TWindow* c : w->Impl().children)
        if (c->HandleAllocated()) {
            out.push_back(c);
            CollectAllocated(c, out);
        }
}
} // namespace

// --- lookups ---------------------------------------------------------------------------

TNativeWidget* NativeOf(HWND window) {
    if (!window) return nullptr;
    auto it = Registry().find(window);
    return it == Registry().end() ? nullptr : it->second;
}

TNativeWidget* NativeOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (auto* n = dynamic_cast<TNativeWidget*>(const_cast<QWidget*>(w)); n && n->owner) return n;
    return nullptr;
}

HWND HandleOf(const QWidget* widget) {
    TNativeWidget* n = NativeOf(widget);
    return n ? n->handle : nullptr;
}

QWidget* WidgetOf(HWND window) { return NativeOf(window); }

QWidget* ClientWidgetOf(HWND window) {
    TNativeWidget* n = NativeOf(window);
    return n ? n->viewport() : nullptr;
}

TWindow* FindWindowObject(HWND window) {
    TNativeWidget* n = NativeOf(window);
    return n ? n->owner->self : nullptr;
}

bool IsWindow(HWND window) { return NativeOf(window) != nullptr; }

// --- TWindow ---------------------------------------------------------------------------

QWidget* TWindow::TImpl::ParentQWidget() const {
    if (parent) return parent->d->native ? parent->d->native->viewport() : nullptr;
    return parentWidget.data();
}

void TWindow::TImpl::ApplyGeometry() {
    if (!native) return;
    if (fillParent) {
        if (QWidget* pw = native->parentWidget()) bounds = QRect(QPoint(0, 0), pw->size());
    }
    native->setGeometry(bounds);
    native->Relayout();
    if (native) native->CheckClientSize();
}

void TWindow::TImpl::ApplyVisibility() {
    if (!native) return;
    native->setVisible(visible && native->parentWidget() != nullptr);
}

void TWindow::TImpl::DestroyNative(bool notify) {
    if (!native) return;
    for (TWindow* c : std::vector<TWindow*>(children)) c->d->DestroyNative(notify);
    TNativeWidget* n = native;
    if (notify) {
        n->Send(WM_DESTROY);
        if (native != n) return; // destroyed from its own WM_DESTROY
    }
    for (auto& [id, qtId] : n->timers) n->killTimer(qtId);
    n->timers.clear();
    CaretWindowGone(n->handle);
    CaptureWindowGone(n->handle);
    Registry().erase(n->handle);
    if (QWidget* pw = n->parentWidget()) pw->removeEventFilter(n);
    n->owner = nullptr;
    native = nullptr;
    n->hide();
    n->deleteLater();
}

TWindow::TWindow(IMessageHandler& handler) : d(std::make_unique<TImpl>()) {
    d->self = this;
    d->handler = &handler;
}

TWindow::~TWindow() {
    d->DestroyNative(false);
    for (TWindow* c : d->children) c->d->parent = nullptr;
    for (TWindowlessControl* g : d->graphics) g->Impl().parent = nullptr;
    if (d->parent) std::erase(d->parent->d->children, this);
}

IMessageHandler& TWindow::Handler() const { return *d->handler; }
HWND TWindow::Handle() const { return d->native ? d->native->handle : nullptr; }
bool TWindow::HandleAllocated() const { return d->native != nullptr; }

HWND TWindow::CreateHandle() {
    if (d->native) return d->native->handle;
    if (d->parent) d->parent->CreateHandle();
    QWidget* pw = d->ParentQWidget();
    auto* n = new TNativeWidget(*d, pw);
    n->handle = NewHandle();
    d->native = n;
    Registry()[n->handle] = n;
    n->bars[SB_HORZ].shown = d->style.HScroll;
    n->bars[SB_VERT].shown = d->style.VScroll;
    n->ApplyBar(SB_HORZ);
    n->ApplyBar(SB_VERT);
    n->setEnabled(d->enabled);
    if (d->fillParent && pw) pw->installEventFilter(n);
    n->Send(WM_CREATE);
    if (d->native != n) return nullptr; // the handler gave the window up again
    n->created = true;
    d->ApplyGeometry();
    d->ApplyVisibility();
    return d->native ? n->handle : nullptr;
}

void TWindow::DestroyHandle() { d->DestroyNative(true); }

void TWindow::RecreateHandle() {
    if (!d->native) return;
    std::vector<TWindow*> allocated;
    CollectAllocated(this, allocated);
    d->DestroyNative(true);
    CreateHandle();
    for (TWindow* c : allocated) c->CreateHandle();
}

const TWindowStyle& TWindow::Style() const { return d->style; }

void TWindow::SetStyle(const TWindowStyle& style) {
    if (style == d->style) return;
    d->style = style;
    RecreateHandle();
}

TWindow* TWindow::Parent() const { return d->parent; }

void TWindow::SetParent(TWindow* parent) {
    if (parent == d->parent || parent == this) return;
    if (d->parent) std::erase(d->parent->d->children, this);
    d->parent = parent;
    if (parent) parent->d->children.push_back(this);
    if (!d->native) return;
    QWidget* pw = d->ParentQWidget();
    if (parent && !pw) {
        d->DestroyNative(true); // a child window cannot outlive a parent without one
        return;
    }
    d->native->setParent(pw);
    d->ApplyGeometry();
    d->ApplyVisibility();
}

void TWindow::SetBounds(int left, int top, int width, int height) {
    QRect r(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
    if (r == d->bounds && !d->fillParent) return;
    d->bounds = r;
    if (d->native) {
        d->ApplyGeometry();
        if (d->native) d->native->Send(WM_WINDOWPOSCHANGED);
    }
}

TRect TWindow::BoundsRect() const { return FromQRect(d->bounds); }

TRect TWindow::ClientRect() const {
    if (d->native) return FromQRect(QRect(QPoint(0, 0), d->native->viewport()->size()));
    return TRect{0, 0, d->bounds.width(), d->bounds.height()};
}

void TWindow::SetFillParent(bool fill) {
    if (fill == d->fillParent) return;
    d->fillParent = fill;
    if (d->native) {
        if (QWidget* pw = d->native->parentWidget()) {
            if (fill) pw->installEventFilter(d->native);
            else pw->removeEventFilter(d->native);
        }
        d->ApplyGeometry();
    }
}

bool TWindow::Visible() const { return d->visible; }

void TWindow::SetVisible(bool visible) {
    if (visible == d->visible) return;
    d->visible = visible;
    d->ApplyVisibility();
}

bool TWindow::Enabled() const { return d->enabled; }

void TWindow::SetEnabled(bool enabled) {
    if (enabled == d->enabled) return;
    d->enabled = enabled;
    if (d->native) {
        d->native->setEnabled(enabled);
        d->native->Send(WM_ENABLE, enabled ? 1 : 0);
    }
}

HCURSOR TWindow::ClassCursor() const { return d->cursor; }
void TWindow::SetClassCursor(HCURSOR cursor) { d->cursor = cursor; }

void SetParentWidget(TWindow& window, QWidget* parent) {
    TWindow::TImpl& d = window.Impl();
    d.parentWidget = parent;
    if (d.native && !d.parent) {
        d.native->setParent(parent);
        if (d.fillParent && parent) parent->installEventFilter(d.native);
        d.ApplyGeometry();
        d.ApplyVisibility();
    }
}

// --- TNativeWidget: life, layout, paint, timers, bars ------------------------------------

TNativeWidget::TNativeWidget(TWindow::TImpl& o, QWidget* parent) : QAbstractScrollArea(parent), owner(&o) {
    setFrameStyle(o.style.Border ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
    setFocusPolicy(o.style.TabStop ? Qt::TabFocus : Qt::NoFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    QWidget* vp = viewport();
    vp->setAttribute(Qt::WA_OpaquePaintEvent);
    vp->setAttribute(Qt::WA_NoSystemBackground);
    vp->setAutoFillBackground(false);
    vp->setMouseTracking(true);
    for (int bar = 0; bar < 2; ++bar) {
        QScrollBar* sb = bar == SB_HORZ ? horizontalScrollBar() : verticalScrollBar();
        sb->setFocusPolicy(Qt::NoFocus);
        sb->installEventFilter(this);
        connect(sb, &QAbstractSlider::actionTriggered, this, [this, bar](int action) { OnBarAction(bar, action); });
        connect(sb, &QAbstractSlider::sliderReleased, this, [this, bar] { OnBarReleased(bar); });
    }
}

TNativeWidget::~TNativeWidget() {
    if (owner) { // deleted with a Qt parent of the shell: the window is simply gone
        CaretWindowGone(handle);
        CaptureWindowGone(handle);
        Registry().erase(handle);
        owner->native = nullptr;
        owner = nullptr;
    }
}

bool TNativeWidget::Dispatch(TMessage& m) {
    if (!owner) return false;
    QPointer<TNativeWidget> guard(this);
    owner->handler->WndProc(m);
    return guard && owner;
}

LRESULT TNativeWidget::Send(UINT msg, WPARAM w, LPARAM l) {
    TMessage m{msg, w, l, 0};
    Dispatch(m);
    return m.Result;
}

void TNativeWidget::Relayout() {
    QResizeEvent ev(size(), size());
    QCoreApplication::sendEvent(this, &ev);
}

void TNativeWidget::CheckClientSize() {
    if (!owner || !created) return;
    const QSize s = viewport()->size();
    if (s == reportedClient) return;
    reportedClient = s;
    QPointer<TNativeWidget> guard(this);
    // Children that fill the client area follow it now: Qt defers resize events of
    // hidden widgets, the controls may not wait for those.
    for (TWindow* c : std::vector<TWindow*>(owner->children))
        if (c->Impl().fillParent) c->Impl().ApplyGeometry();
    if (!guard || !owner) return;
    Send(WM_SIZE, SIZE_RESTORED, MakeLParam(s.width(), s.height()));
}

void TNativeWidget::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    if (!owner) return;
    CheckClientSize();
}

void TNativeWidget::moveEvent(QMoveEvent* e) {
    QAbstractScrollArea::moveEvent(e);
    if (owner && geometry() != owner->bounds) {
        owner->bounds = geometry();
        Send(WM_WINDOWPOSCHANGED);
    }
}

bool TNativeWidget::eventFilter(QObject* watched, QEvent* e) {
    if (!owner) return false;
    if (e->type() == QEvent::Resize && owner->fillParent && watched == parentWidget()) {
        owner->ApplyGeometry();
        return false;
    }
    if (e->type() == QEvent::Wheel && qobject_cast<QScrollBar*>(watched)) {
        Wheel(static_cast<QWheelEvent*>(e)); // the control decides what the wheel scrolls
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, e);
}

void TNativeWidget::timerEvent(QTimerEvent* e) {
    for (auto& [id, qtId] : timers)
        if (qtId == e->timerId()) {
            Send(WM_TIMER, id);
            return;
        }
    QAbstractScrollArea::timerEvent(e);
}

void TNativeWidget::Paint(QPaintEvent* e) {
    if (!owner) return;
    const QRegion region = e->region();
    const bool needErase = !(region - pending).isEmpty() || region.intersects(erase);
    pending -= region;
    erase -= region;
    QPainter painter(viewport());
    auto canvas = MakeCanvas(painter, &region);
    bool erased = false;
    if (needErase) {
        TMessage m{WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.get()), 0, 0};
        if (!Dispatch(m)) return;
        erased = m.Result != 0;
    }
    paintCanvas = canvas.get();
    paintBounds = region.boundingRect();
    paintErase = needErase && !erased;
    TMessage pm{WM_PAINT, reinterpret_cast<WPARAM>(canvas.get()), 0, 0};
    const bool alive = Dispatch(pm);
    paintCanvas = nullptr;
    if (!alive) return;
    for (TWindowlessControl* g : std::vector<TWindowlessControl*>(owner->graphics)) {
        TWindowlessControl::TImpl& gi = g->Impl();
        if (!gi.visible || gi.bounds.isEmpty() || !region.intersects(gi.bounds)) continue;
        canvas->Save();
        canvas->OffsetOrigin(gi.bounds.x(), gi.bounds.y());
        canvas->IntersectClipRect(TRect{0, 0, gi.bounds.width(), gi.bounds.height()});
        TMessage gm{WM_PAINT, reinterpret_cast<WPARAM>(canvas.get()), 0, 0};
        QPointer<TNativeWidget> guard(this);
        gi.handler->WndProc(gm);
        if (!guard || !owner) return;
        canvas->Restore();
    }
    canvas.reset();
    PaintCaret(*this, painter, region);
}

void TNativeWidget::ApplyBar(int bar) {
    TBar& s = bars[bar];
    QScrollBar* sb = bar == SB_HORZ ? horizontalScrollBar() : verticalScrollBar();
    const int top = std::max(s.min, s.max - std::max(int(s.page) - 1, 0));
    {
        QSignalBlocker block(sb);
        sb->setRange(s.min, top);
        sb->setPageStep(std::max<int>(int(s.page), 1));
        sb->setSingleStep(1);
        if (!inBarAction) sb->setValue(s.pos);
    }
    sb->setEnabled(s.enabled);
    const Qt::ScrollBarPolicy policy = s.shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    const Qt::ScrollBarPolicy current = bar == SB_HORZ ? horizontalScrollBarPolicy() : verticalScrollBarPolicy();
    if (policy == current) return;
    if (bar == SB_HORZ) setHorizontalScrollBarPolicy(policy);
    else setVerticalScrollBarPolicy(policy);
    if (!isVisible()) Relayout(); // a shown area lays itself out at once
    CheckClientSize();
}

void TNativeWidget::OnBarAction(int bar, int action) {
    QScrollBar* sb = bar == SB_HORZ ? horizontalScrollBar() : verticalScrollBar();
    int code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
    }
    TBar& s = bars[bar];
    const int thumb = sb->sliderPosition();
    if (code == SB_THUMBTRACK) {
        s.tracking = true;
        s.track = thumb;
    }
    inBarAction = true;
    QPointer<TNativeWidget> guard(this);
    Send(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MakeScrollWParam(code, code == SB_THUMBTRACK ? thumb : 0));
    if (!guard) return;
    inBarAction = false;
    // The bar moves only as the control sets it, as on Win32.
    if (code != SB_THUMBTRACK) {
        sb->setSliderPosition(bars[bar].pos);
        if (owner) Send(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MakeScrollWParam(SB_ENDSCROLL, 0));
    }
}

void TNativeWidget::OnBarReleased(int bar) {
    TBar& s = bars[bar];
    if (!s.tracking) return;
    const int pos = s.track;
    QPointer<TNativeWidget> guard(this);
    Send(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MakeScrollWParam(SB_THUMBPOSITION, pos));
    if (!guard) return;
    bars[bar].tracking = false;
    QScrollBar* sb = bar == SB_HORZ ? horizontalScrollBar() : verticalScrollBar();
    sb->setSliderPosition(bars[bar].pos);
    if (owner) Send(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MakeScrollWParam(SB_ENDSCROLL, 0));
}

void TNativeWidget::ForgetChild(TWindowlessControl* child) {
    if (mouseChild == child) mouseChild = nullptr;
    if (hoverChild == child) hoverChild = nullptr;
}

// --- services ------------------------------------------------------------------------------

HWND GetFocus() { return HandleOf(QApplication::focusWidget()); }

HWND SetFocus(HWND window) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return nullptr;
    HWND previous = GetFocus();
    n->setFocus(Qt::OtherFocusReason);
    return previous;
}

HWND GetCapture() { return g_capture; }

HWND SetCapture(HWND window) {
    if (!NativeOf(window)) return nullptr;
    HWND previous = g_capture;
    g_capture = window;
    if (previous && previous != window) SendMessage(previous, WM_CAPTURECHANGED, 0, LPARAM(window));
    return previous;
}

BOOL ReleaseCapture() {
    HWND previous = g_capture;
    g_capture = nullptr;
    if (previous) SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
    return 1;
}

void CaptureWindowGone(HWND window) {
    if (g_capture == window) g_capture = nullptr;
}

BOOL GetClientRect(HWND window, TRect& rect) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    rect = FromQRect(QRect(QPoint(0, 0), n->viewport()->size()));
    return 1;
}

BOOL ClientToScreen(HWND window, TPoint& point) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    QPoint g = n->viewport()->mapToGlobal(QPoint(point.X, point.Y));
    point = TPoint{g.x(), g.y()};
    return 1;
}

BOOL ScreenToClient(HWND window, TPoint& point) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    QPoint c = n->viewport()->mapFromGlobal(QPoint(point.X, point.Y));
    point = TPoint{c.x(), c.y()};
    return 1;
}

HWND GetParent(HWND window) {
    TNativeWidget* n = NativeOf(window);
    if (!n || !n->owner->parent) return nullptr;
    return n->owner->parent->Handle();
}

BOOL IsWindowVisible(HWND window) {
    TNativeWidget* n = NativeOf(window);
    return n && n->isVisible() ? 1 : 0;
}

BOOL IsWindowEnabled(HWND window) {
    TNativeWidget* n = NativeOf(window);
    return n && n->isEnabled() ? 1 : 0;
}

BOOL InvalidateRect(HWND window, const TRect* rect, BOOL erase) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    const QRect client(QPoint(0, 0), n->viewport()->size());
    const QRect r = rect ? ToQRect(*rect).intersected(client) : client;
    if (r.isEmpty()) return 1;
    n->pending += r;
    if (erase) n->erase += r;
    n->viewport()->update(r);
    return 1;
}

BOOL UpdateWindow(HWND window) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    if (!n->pending.isEmpty() && n->viewport()->isVisible()) n->viewport()->repaint(n->pending);
    return 1;
}

BOOL ScrollWindow(HWND window, int dx, int dy, const TRect* scrollRect, const TRect* clipRect) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    const QRect client(QPoint(0, 0), n->viewport()->size());
    QRect r = scrollRect ? ToQRect(*scrollRect).intersected(client) : client;
    if (clipRect) r = r.intersected(ToQRect(*clipRect));
    if (r.isEmpty() || (dx == 0 && dy == 0)) return 1;
    // What was waiting to be painted moves with the pixels.
    const QRegion inside = n->pending.intersected(r);
    const QRegion insideErase = n->erase.intersected(r);
    n->pending = n->pending.subtracted(r).united(inside.translated(dx, dy).intersected(r));
    n->erase = n->erase.subtracted(r).united(insideErase.translated(dx, dy).intersected(r));
    const QRegion uncovered = QRegion(r).subtracted(QRegion(r.translated(dx, dy)));
    n->viewport()->scroll(dx, dy, r);
    CaretScrolled(*n, r, dx, dy);
    n->pending += uncovered;
    n->erase += uncovered;
    if (!inside.isEmpty()) n->viewport()->update(inside.translated(dx, dy).intersected(r));
    return 1;
}

TCanvas* BeginPaint(HWND window, TPaintStruct& paint) {
    TNativeWidget* n = NativeOf(window);
    if (!n || !n->paintCanvas) {
        paint = TPaintStruct{};
        return nullptr;
    }
    paint.Canvas = n->paintCanvas;
    paint.rcPaint = FromQRect(n->paintBounds);
    paint.fErase = n->paintErase;
    return n->paintCanvas;
}

void EndPaint(HWND, const TPaintStruct&) {}
