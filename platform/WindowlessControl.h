#pragma once
// A windowless (graphic) control: it lives on a windowed parent, which paints it after
// itself (WM_PAINT with the parent's canvas in WParam, origin at the control's corner and
// clipped to it) and hands it the mouse messages over its bounds, in its own coordinates.
// A button press captures the mouse for the control until every button is released.
// CM_MOUSEENTER / CM_MOUSELEAVE tell it when the pointer comes and goes.
#include <memory>

#include "platform/Messages.h"
#include "platform/Types.h"

class IMessageHandler;
class TWindow;

class TWindowlessControl {
public:
    explicit TWindowlessControl(IMessageHandler& handler);
    ~TWindowlessControl();
    TWindowlessControl(const TWindowlessControl&) = delete;
    TWindowlessControl& operator=(const TWindowlessControl&) = delete;

    IMessageHandler& Handler() const;
    TWindow* Parent() const;
    void SetParent(TWindow* parent); // placed on top of the parent's other windowless controls

    void SetBounds(int left, int top, int width, int height); // parent client coordinates
    TRect BoundsRect() const;
    TRect ClientRect() const { return TRect{0, 0, BoundsRect().Width(), BoundsRect().Height()}; }
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled); // a disabled control gets no mouse messages

    void Invalidate();
    void Update();  // paints the parent's invalid part now
    void Repaint(); // Invalidate + Update
    // Whether the pointer is over the control, and the mouse capture it holds.
    bool MouseInside() const;
    bool MouseCaptured() const;
    TPoint ScreenToClient(TPoint screen) const;
    TPoint ClientToScreen(TPoint client) const;

    struct TImpl;
    TImpl& Impl() const { return *d; }

private:
    std::unique_ptr<TImpl> d;
};
