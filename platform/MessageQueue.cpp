// Sending, posting and default handling of window messages.
#include <deque>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <chrono>

#include "platform/Canvas.h"
#include "platform/Cursors.h"
#include "platform/Input.h"
#include "platform/NativeWindow.h"
#include "platform/SysColors.h"
#include "platform/Window.h"

namespace {
const QEvent::Type kPostedMessage = QEvent::Type(QEvent::registerEventType());

struct TPostedMessage {
    HWND window;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// The messages posted and not yet handled, oldest first.
std::deque<TPostedMessage>& Posted() {
    static std::deque<TPostedMessage> queue;
    return queue;
}
// A Qt event is on its way to the pump: further posts only join the queue. Waking Qt's
// event loop costs a system call, which a post per keystroke should not pay each time.
bool g_wakePending = false;

// Handles the posted messages in order, one Qt event for all that were posted before the
// event loop came round; as in the window system, they go before the paint that waits.
class TMessagePump : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() != kPostedMessage) return QObject::event(e);
        g_wakePending = false; // a loop run by a handler must see what the handler posts
        while (!Posted().empty()) {
            const TPostedMessage p = Posted().front();
            Posted().pop_front();
            if (TNativeWidget* n = NativeOf(p.window)) {
                TMessage m{p.msg, p.wParam, p.lParam, 0};
                n->Dispatch(m);
            }
        }
        return true;
    }
};

TMessagePump* Pump() {
    static QPointer<TMessagePump> pump;
    if (!pump && QCoreApplication::instance()) {
        g_wakePending = false; // a wake-up sent to an earlier pump went with it
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
    Posted().push_back({window, msg, wParam, lParam});
    if (!g_wakePending) {
        g_wakePending = true;
        QCoreApplication::postEvent(pump, new QEvent(kPostedMessage));
    }
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
    case WM_SETREDRAW:
        // Switching back on schedules a paint of the whole window.
        if (TNativeWidget* n = NativeOf(window)) n->viewport()->setUpdatesEnabled(m.WParam != 0);
        break;
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

void WaitForMessages(uint32_t milliseconds) {
    if (!QCoreApplication::instance() || LiveInputScript()) return;
    QEventLoop loop;
    // The timer's event ends the wait when nothing else does.
    QTimer::singleShot(std::chrono::milliseconds(milliseconds), &loop, [] {});
    loop.processEvents(QEventLoop::WaitForMoreEvents);
}
