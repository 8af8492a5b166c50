#pragma once
// Windowed controls and the Win32-shaped services on their native windows.
//
// A TWindow is the platform half of a windowed control: it keeps the control's parent,
// bounds, visibility, style and cursor at all times, and owns a native window only while
// one "exists" (between CreateHandle and DestroyHandle). Everything the native window
// receives arrives at the control's IMessageHandler as a TMessage: keys, characters,
// mouse, wheel, focus, size, erase, paint, timers, scroll bars, set-cursor.
#include <memory>

#include "platform/Messages.h"
#include "platform/Types.h"

class TCanvas;

class IMessageHandler {
public:
    virtual void WndProc(TMessage& message) = 0;

protected:
    ~IMessageHandler() = default;
};

// Styles chosen when the native window is created; changing them re-creates it.
struct TWindowStyle {
    bool HScroll = false; // WS_HSCROLL: a horizontal bar, shown from the start
    bool VScroll = false; // WS_VSCROLL
    bool Border = false;  // a sunken frame around the client area
    bool TabStop = true;  // reachable with Tab (SetFocus works either way)
    friend bool operator==(const TWindowStyle&, const TWindowStyle&) = default;
};

class TWindow {
public:
    explicit TWindow(IMessageHandler& handler);
    ~TWindow(); // destroys the native window without sending WM_DESTROY
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    IMessageHandler& Handler() const;

    // The native window, 0 while none exists.
    HWND Handle() const;
    bool HandleAllocated() const;
    // Creates the native window (after the parent's, if that has none yet) and sends it
    // WM_CREATE and WM_SIZE. Returns the handle; an existing one is returned as it is.
    HWND CreateHandle();
    // Destroys the children's native windows, sends WM_DESTROY, kills the window's
    // timers, drops its caret and capture, and lets the native window go.
    void DestroyHandle();
    // DestroyHandle + CreateHandle, children with windows included.
    void RecreateHandle();

    const TWindowStyle& Style() const;
    void SetStyle(const TWindowStyle& style);

    // A parent window (0 for none); a parentless window is a hidden utility window.
    TWindow* Parent() const;
    void SetParent(TWindow* parent);

    // Bounds in the parent's client coordinates.
    void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const;
    // The client area: the window less its frame and shown scroll bars.
    TRect ClientRect() const;
    // Keep covering the parent's client area as it resizes.
    void SetFillParent(bool fill);

    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // The window's own cursor, set by the default WM_SETCURSOR handling (arrow when 0).
    HCURSOR ClassCursor() const;
    void SetClassCursor(HCURSOR cursor);

    struct TImpl;
    TImpl& Impl() const { return *d; }

private:
    std::unique_ptr<TImpl> d;
};

// The control object of a native window, nullptr for a zero or stale handle.
TWindow* FindWindowObject(HWND window);
bool IsWindow(HWND window);

// Messages. A posted message is handled after the current one, in posting order, on
// the GUI thread; one posted to a window that is gone by then is dropped.
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL PostMessage(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// The default handling of a message (erase fills with the window colour, set-cursor
// shows the class cursor, mouse activation activates, ...). Sets message.Result.
void DefWindowProc(HWND window, TMessage& message);
// Handles every event and posted message that is pending now, then returns.
void ProcessMessages();
// Handles what arrives within `milliseconds`, returning after the first event or message
// handled or when the time is up: a polling loop waits here instead of spinning. Returns at
// once while a live input script is set (scripted loops do not sleep).
void WaitForMessages(uint32_t milliseconds);

// Focus and capture.
HWND GetFocus();
HWND SetFocus(HWND window); // returns the window that had the focus
HWND GetCapture();
HWND SetCapture(HWND window);
BOOL ReleaseCapture();

// Geometry.
BOOL GetClientRect(HWND window, TRect& rect);
BOOL ClientToScreen(HWND window, TPoint& point);
BOOL ScreenToClient(HWND window, TPoint& point);
HWND GetParent(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsWindowEnabled(HWND window);

// Repainting. rect 0 means the whole client area. With erase the next paint is
// preceded by WM_ERASEBKGND.
BOOL InvalidateRect(HWND window, const TRect* rect, BOOL erase);
// Paints the invalid part of the window now (nothing when nothing is invalid).
BOOL UpdateWindow(HWND window);
// Moves the pixels of scrollRect (the client area when 0) by (dx, dy) and invalidates,
// with erase, the strip the move uncovers. clipRect is accepted for the Win32 shape and
// must be 0 or equal to scrollRect.
BOOL ScrollWindow(HWND window, int dx, int dy, const TRect* scrollRect, const TRect* clipRect);

// Painting: valid only while WM_PAINT is handled. The canvas is also in WParam of
// WM_PAINT and WM_ERASEBKGND (see MessageCanvas).
struct TPaintStruct {
    TCanvas* Canvas = nullptr;
    TRect rcPaint;       // bounding box of the area to paint
    bool fErase = false; // the background still needs erasing
};
TCanvas* BeginPaint(HWND window, TPaintStruct& paint);
void EndPaint(HWND window, const TPaintStruct& paint);
inline TCanvas* MessageCanvas(const TMessage& message) { return reinterpret_cast<TCanvas*>(message.WParam); }
