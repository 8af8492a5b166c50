// Sending, posting and default handling of window messages.
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include "platform/Canvas.h"
#include "platform/Cursors.h"
#include "platform/NativeWindow.h"
#include "platform/SysColors.h"
#include "platform/Window.h"

namespace {
const QEvent::Type kPostedMessage = QEvent::Type(QEvent::registerEventType());

struct TPostedMessageEvent : QEvent {
    TPostedMessageEvent(HWND w, UINT m, WPARAM wp, LPARAM lp)
        : QEvent(kPostedMessage), window(w), msg(m), wParam(wp), lParam(lp) {}
    HWND window;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Receives the posted messages from Qt's event queue, so that they come in order,
// interleaved with input and paint as they were posted.
class TMessagePump : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() != kPostedMessage) return QObject::event(e);
        auto* p = static_cast<TPostedMessageEvent*>(e);
        if (TNativeWidget* n = NativeOf(p->window)) {
            TMessage m{p->msg, p->wParam, p->lParam, 0};
            n->Dispatch(m);
        }
        return true;
    }
};

TMessagePump* Pump() {
    static QPointer<TMessagePump> pump;
    if (!pump && QCoreApplication::instance()) {
        pump = new TMessagePump;
        pump->setParent(QCoreApplication::instance());
    }
    return pump.data();
}
} // namespace

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    TMessage m{msg, wParam, lParam, 0};
    n->Dispatch(m);
    return m.Result;
}

BOOL PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!NativeOf(window)) return 0;
    TMessagePump* pump = Pump();
    if (!pump) return 0;
    QCoreApplication::postEvent(pump, new TPostedMessageEvent(window, msg, wParam, lParam));
    return 1;
}

void DefWindowProc(HWND window, TMessage& m) {
    m.Result = 0;
    switch (m.Msg) {
    case WM_ERASEBKGND:
        if (TCanvas* c = MessageCanvas(m)) {
            c->FillRect(c->GetClipBox(), GetSysColor(COLOR_WINDOW));
            m.Result = 1;
        }
        break;
    case WM_SETCURSOR: {
        TWindow* w = FindWindowObject(window);
        HCURSOR cursor = w && w->ClassCursor() ? w->ClassCursor() : LoadCursor(IDC_ARROW);
        SetCursor(cursor);
        m.Result = 1;
        break;
    }
    case WM_MOUSEACTIVATE: m.Result = MA_ACTIVATE; break;
    case WM_NCHITTEST: m.Result = HTCLIENT; break;
    case WM_CLOSE:
        if (TWindow* w = FindWindowObject(window)) w->DestroyHandle();
        break;
    default: break;
    }
}

void ProcessMessages() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
