#include "platform/WindowlessControl.h"

#include "platform/NativeWindow.h"
#include "platform/QtConvert.h"
#include "platform/WindowlessControlImpl.h"

TWindowlessControl::TWindowlessControl(IMessageHandler& handler) : d(std::make_unique<TImpl>()) {
    d->handler = &handler;
}

TWindowlessControl::~TWindowlessControl() { SetParent(nullptr); }

IMessageHandler& TWindowlessControl::Handler() const { return *d->handler; }
TWindow* TWindowlessControl::Parent() const { return d->parent; }

void TWindowlessControl::SetParent(TWindow* parent) {
    if (parent == d->parent) return;
    if (d->parent) {
        Invalidate();
        TWindow::TImpl& p = d->parent->Impl();
        std::erase(p.graphics, this);
        if (p.native) p.native->ForgetChild(this);
    }
    d->parent = parent;
    d->inside = d->captured = false;
    if (parent) {
        parent->Impl().graphics.push_back(this);
        Invalidate();
    }
}

void TWindowlessControl::SetBounds(int left, int top, int width, int height) {
    QRect r(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
    if (r == d->bounds) return;
    Invalidate();
    d->bounds = r;
    Invalidate();
}

TRect TWindowlessControl::BoundsRect() const { return FromQRect(d->bounds); }
bool TWindowlessControl::Visible() const { return d->visible; }

void TWindowlessControl::SetVisible(bool visible) {
    if (visible == d->visible) return;
    d->visible = visible;
    if (!visible && d->parent && d->parent->Impl().native) d->parent->Impl().native->ForgetChild(this);
    InvalidateRect(d->parent ? d->parent->Handle() : nullptr, nullptr, 0); // siblings may show through
}

bool TWindowlessControl::Enabled() const { return d->enabled; }

void TWindowlessControl::SetEnabled(bool enabled) {
    if (enabled == d->enabled) return;
    d->enabled = enabled;
    if (!enabled && d->parent && d->parent->Impl().native) d->parent->Impl().native->ForgetChild(this);
    TMessage m{CM_ENABLEDCHANGED, 0, 0, 0};
    d->handler->WndProc(m);
}

void TWindowlessControl::Invalidate() {
    if (!d->parent || d->bounds.isEmpty()) return;
    TRect r = FromQRect(d->bounds);
    InvalidateRect(d->parent->Handle(), &r, 1);
}

void TWindowlessControl::Update() {
    if (d->parent) UpdateWindow(d->parent->Handle());
}

void TWindowlessControl::Repaint() {
    Invalidate();
    Update();
}

bool TWindowlessControl::MouseInside() const { return d->inside; }
bool TWindowlessControl::MouseCaptured() const { return d->captured; }

TPoint TWindowlessControl::ScreenToClient(TPoint screen) const {
    if (d->parent) ::ScreenToClient(d->parent->Handle(), screen);
    return TPoint{screen.X - d->bounds.x(), screen.Y - d->bounds.y()};
}

TPoint TWindowlessControl::ClientToScreen(TPoint client) const {
    TPoint p{client.X + d->bounds.x(), client.Y + d->bounds.y()};
    if (d->parent) ::ClientToScreen(d->parent->Handle(), p);
    return p;
}
