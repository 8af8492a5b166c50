#pragma once
// The Qt widget behind a TWindow, and the bookkeeping the platform services share.
// Includes Qt: for the platform layer and the shell only.
#include <QAbstractScrollArea>
#include <QPointer>
#include <QRegion>
#include <functional>
#include <map>
#include <vector>

#include "platform/Window.h"
#include "platform/WindowlessControl.h"

class TNativeWidget;

struct TWindow::TImpl {
    TWindow* self = nullptr;
    IMessageHandler* handler = nullptr;
    TNativeWidget* native = nullptr;
    TWindowStyle style;
    TWindow* parent = nullptr;
    QPointer<QWidget> parentWidget; // a Qt parent given by the shell
    std::vector<TWindow*> children;
    std::vector<TWindowlessControl*> graphics; // z-order: last on top
    QRect bounds;
    bool visible = true, enabled = true, fillParent = false;
    HCURSOR cursor = nullptr;

    QWidget* ParentQWidget() const;
    void ApplyGeometry();
    void ApplyVisibility();
    void DestroyNative(bool notify);
};

class TNativeWidget : public QAbstractScrollArea {
public:
    TNativeWidget(TWindow::TImpl& owner, QWidget* parent);
    ~TNativeWidget() override;

    TWindow::TImpl* owner = nullptr; // null once the window is destroyed
    HWND handle = nullptr;
    bool created = false; // WM_CREATE has been handled

    // Paint bookkeeping, in client coordinates.
    QRegion pending; // invalidated through the services, not yet painted
    QRegion erase;   // the part of it that asked for erasing
    TCanvas* paintCanvas = nullptr;
    QRect paintBounds;
    bool paintErase = false;

    struct TBar {
        int min = 0, max = 100;
        unsigned page = 0;
        int pos = 0;
        int track = 0;
        bool tracking = false;
        bool shown = false, enabled = true;
    };
    TBar bars[2];
    bool inBarAction = false;

    std::map<uintptr_t, int> timers; // window timer id -> Qt timer id
    QSize reportedClient{-1, -1};

    // Windowless children under the pointer and holding the mouse.
    TWindowlessControl* mouseChild = nullptr;
    TWindowlessControl* hoverChild = nullptr;

    // Hands a message to the window's handler; false when the window is gone.
    bool Dispatch(TMessage& m);
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0);
    // Reports a changed client size with WM_SIZE.
    void CheckClientSize();
    // Brings a Qt scroll bar in line with its state.
    void ApplyBar(int bar);
    void Relayout();
    void ForgetChild(TWindowlessControl* child);
    QWidget* Client() const { return viewport(); }

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void scrollContentsBy(int, int) override {}
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    void OnBarAction(int bar, int action);
    void OnBarReleased(int bar);
    void Paint(QPaintEvent* e);
    bool Mouse(QMouseEvent* e);
    void Wheel(QWheelEvent* e);
    void Hover(TWindowlessControl* child);
};

// Lookups shared by the services.
TNativeWidget* NativeOf(HWND window);
TNativeWidget* NativeOf(const QWidget* widget); // the widget or its nearest native ancestor
HWND HandleOf(const QWidget* widget);
// The Qt widget of a window (its area; the client is its viewport), for the shell.
QWidget* WidgetOf(HWND window);
QWidget* ClientWidgetOf(HWND window);
// Puts a window into a Qt widget of the shell (a form, an MDI child's central area).
void SetParentWidget(TWindow& window, QWidget* parent);

// Keys the shell keeps from every window (for example the shortcuts of disabled menu
// items, which Qt would otherwise pass on): the filter returns true to swallow a press.
void SetShellKeyFilter(std::function<bool(QKeyEvent*)> filter);

// Key messages from Qt key events (WindowInput.cpp).
void DeliverKey(TNativeWidget& w, QKeyEvent* e, bool down);
void DeliverText(TNativeWidget& w, const QString& text);
WPARAM MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
void SetMouseKeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);

// Caret and cursor hooks (Caret.cpp, Cursors.cpp).
void PaintCaret(TNativeWidget& w, QPainter& painter, const QRegion& region);
void CaretWindowGone(HWND window);
void CaretScrolled(TNativeWidget& w, const QRect& rect, int dx, int dy);
void SetCursorTarget(QWidget* widget);
void CaptureWindowGone(HWND window);
