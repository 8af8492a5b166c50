// Turns the Qt input events of a native window into key, character, mouse, wheel, focus
// and set-cursor messages, and routes mouse messages to windowless children.
#include <QApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "platform/Cp1252.h"
#include "platform/KeyMap.h"
#include "platform/Keyboard.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKeys.h"
#include "platform/WindowlessControlImpl.h"

namespace {
bool g_capsLock = false, g_numLock = false, g_scrollLock = false;
HWND g_lostFocus = nullptr;

bool IsExtendedKey(uint16_t vk) {
    switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RMENU: case VK_RCONTROL:
    case VK_DIVIDE: case VK_NUMLOCK: return true;
    default: return false;
    }
}

void ReadLockState(const QKeyEvent* e) {
    // On X11 the event carries the lock state; elsewhere we count the toggles we see.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && e->nativeModifiers() != 0) {
        g_capsLock = (e->nativeModifiers() & 0x02) != 0; // LockMask
        g_numLock = (e->nativeModifiers() & 0x10) != 0;  // Mod2Mask
    }
}

TKeyboardState StateFrom(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TKeyboardState ks;
    ks.Shift = mods & Qt::ShiftModifier;
    ks.Control = mods & Qt::ControlModifier;
    ks.Alt = mods & Qt::AltModifier;
    ks.CapsLock = g_capsLock;
    ks.NumLock = g_numLock;
    ks.ScrollLock = g_scrollLock;
    ks.LButton = buttons & Qt::LeftButton;
    ks.RButton = buttons & Qt::RightButton;
    ks.MButton = buttons & Qt::MiddleButton;
    return ks;
}

void SendBytes(TNativeWidget& w, UINT msg, const std::string& bytes, LPARAM lp) {
    for (char c : bytes) {
        if (!w.owner) return;
        w.Send(msg, WPARAM(uint8_t(c)), lp);
    }
}

// The character a key produces with Ctrl held (and no Alt), as Win32 translates it.
int ControlChar(uint16_t vk) {
    if (vk >= 'A' && vk <= 'Z') return vk - 0x40;
    switch (vk) {
    case VK_OEM_4: return 27;
    case VK_OEM_5: return 28;
    case VK_OEM_6: return 29;
    case VK_BACK: return 127;
    case VK_RETURN: return 10;
    case VK_ESCAPE: return 27;
    case VK_SPACE: return ' ';
    default: return -1;
    }
}
} // namespace

WPARAM MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    WPARAM mk = 0;
    if (buttons & Qt::LeftButton) mk |= MK_LBUTTON;
    if (buttons & Qt::RightButton) mk |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) mk |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) mk |= MK_SHIFT;
    if (mods & Qt::ControlModifier) mk |= MK_CONTROL;
    return mk;
}

void SetMouseKeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    SetMessageKeyState(StateFrom(mods, buttons));
}

void DeliverKey(TNativeWidget& w, QKeyEvent* e, bool down) {
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    uint16_t vk = VirtualKeyFromQtKey(e->key(), keypad);
    if (vk == 0 && !e->text().isEmpty()) vk = VK_PACKET; // a key of another layout
    if (vk == 0) return;
    ReadLockState(e);
    if (down && !e->isAutoRepeat()) {
        if (vk == VK_CAPITAL) g_capsLock = !g_capsLock;
        if (vk == VK_NUMLOCK) g_numLock = !g_numLock;
        if (vk == VK_SCROLL) g_scrollLock = !g_scrollLock;
    }
    NoteKeyTransition(vk, down);
    TKeyboardState ks = StateFrom(e->modifiers(), QGuiApplication::mouseButtons());
    // Qt reports a modifier key's own press without its modifier bit.
    if (vk == VK_SHIFT) ks.Shift = down;
    if (vk == VK_CONTROL) ks.Control = down;
    if (vk == VK_MENU) ks.Alt = down;
    ks.DownKey = down ? vk : 0;
    SetMessageKeyState(ks);

    const bool system = ((ks.Alt || vk == VK_MENU) && !ks.Control) || vk == VK_F10;
    LPARAM lp = 1 | (LPARAM(e->nativeScanCode() & 0xFF) << 16);
    if (IsExtendedKey(vk) || (vk == VK_RETURN && keypad)) lp |= LPARAM(1) << 24;
    if (ks.Alt) lp |= KF_ALTDOWN_BIT;
    if (down && e->isAutoRepeat()) lp |= KF_REPEAT_BIT;
    if (!down) lp |= KF_REPEAT_BIT | (LPARAM(1) << 31);
    const UINT msg = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    w.Send(msg, vk, lp);
    if (!down || !w.owner) return;

    std::string bytes;
    if (ks.Control && !ks.Alt) {
        int c = ControlChar(vk);
        if (c >= 0) bytes.push_back(char(c));
    } else {
        switch (vk) {
        case VK_BACK: bytes = "\b"; break;
        case VK_TAB: bytes = "\t"; break;
        case VK_RETURN: bytes = "\r"; break;
        case VK_ESCAPE: bytes = "\x1b"; break;
        default:
            for (QChar ch : e->text()) {
                const int b = UnicodeToCp1252(ch.unicode());
                if (b >= 32 && b != 127) bytes.push_back(char(b));
            }
        }
    }
    SendBytes(w, ks.Alt && !ks.Control ? WM_SYSCHAR : WM_CHAR, bytes, lp);
}

void DeliverText(TNativeWidget& w, const QString& text) {
    std::string bytes;
    for (QChar ch : text) {
        const int b = UnicodeToCp1252(ch.unicode());
        if (b >= 32 && b != 127) bytes.push_back(char(b));
    }
    if (bytes.empty()) return;
    TKeyboardState ks = StateFrom(QGuiApplication::keyboardModifiers(), QGuiApplication::mouseButtons());
    ks.DownKey = VK_PACKET;
    SetMessageKeyState(ks);
    // A key-down first, so that a control tracking key-downs sees fresh input.
    w.Send(WM_KEYDOWN, VK_PACKET, 1);
    SendBytes(w, WM_CHAR, bytes, 1);
    if (w.owner) w.Send(WM_KEYUP, VK_PACKET, 1 | KF_REPEAT_BIT | (LPARAM(1) << 31));
}

// --- TNativeWidget input handlers -----------------------------------------------------

bool TNativeWidget::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress && owner) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if ((ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) &&
            !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Only DLGC_WANTTAB keeps Tab from moving the focus: a control that wants all
            // keys (Enter, Escape) still leaves Tab to the dialog unless it asks for it.
            const LRESULT code = Send(WM_GETDLGCODE, VK_TAB, 0);
            if (!owner) return true;
            if (code & DLGC_WANTTAB) {
                keyPressEvent(ke);
                return true;
            }
        }
    }
    return QAbstractScrollArea::event(e);
}

namespace {
std::function<bool(QKeyEvent*)> g_shellKeyFilter;
} // namespace

void SetShellKeyFilter(std::function<bool(QKeyEvent*)> filter) { g_shellKeyFilter = std::move(filter); }

void TNativeWidget::keyPressEvent(QKeyEvent* e) {
    if (!owner) return;
    if (g_shellKeyFilter && g_shellKeyFilter(e)) {
        e->accept();
        return;
    }
    DeliverKey(*this, e, true);
    e->accept();
}

void TNativeWidget::keyReleaseEvent(QKeyEvent* e) {
    if (!owner) return;
    // X11 repeats a held key as release + press pairs; a held key repeats key-downs only.
    if (e->isAutoRepeat()) {
        e->accept();
        return;
    }
    DeliverKey(*this, e, false);
    e->accept();
}

void TNativeWidget::inputMethodEvent(QInputMethodEvent* e) {
    if (!owner) return;
    if (!e->commitString().isEmpty()) DeliverText(*this, e->commitString());
    e->accept();
}

void TNativeWidget::focusInEvent(QFocusEvent* e) {
    if (!owner || e->reason() == Qt::PopupFocusReason) return;
    SetMouseKeyState(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
    HWND lost = g_lostFocus;
    g_lostFocus = nullptr;
    Send(WM_SETFOCUS, reinterpret_cast<WPARAM>(lost));
}

void TNativeWidget::focusOutEvent(QFocusEvent* e) {
    if (!owner || e->reason() == Qt::PopupFocusReason) return;
    g_lostFocus = handle;
    Send(WM_KILLFOCUS, reinterpret_cast<WPARAM>(HandleOf(QApplication::focusWidget())));
}

void TNativeWidget::Hover(TWindowlessControl* child) {
    if (child == hoverChild) return;
    TWindowlessControl* old = hoverChild;
    hoverChild = child;
    if (old) {
        old->Impl().inside = false;
        TMessage m{CM_MOUSELEAVE, 0, 0, 0};
        old->Impl().handler->WndProc(m);
    }
    if (child && hoverChild == child) {
        child->Impl().inside = true;
        TMessage m{CM_MOUSEENTER, 0, 0, 0};
        child->Impl().handler->WndProc(m);
    }
}

namespace {
TWindowlessControl* ChildAt(TWindow::TImpl& owner, QPoint p) {
    for (auto it = owner.graphics.rbegin(); it != owner.graphics.rend(); ++it) {
        TWindowlessControl::TImpl& g = (*it)->Impl();
        if (g.visible && g.enabled && g.bounds.contains(p)) return *it;
    }
    return nullptr;
}
} // namespace

bool TNativeWidget::Mouse(QMouseEvent* e) {
    if (!owner) return true;
    const QPoint p = e->position().toPoint();
    SetMouseKeyState(e->buttons(), e->modifiers());
    const WPARAM mk = MouseKeyFlags(e->buttons(), e->modifiers());
    UINT msg = 0;
    const QEvent::Type type = e->type();
    if (type == QEvent::MouseMove) {
        msg = WM_MOUSEMOVE;
    } else {
        UINT base;
        switch (e->button()) {
        case Qt::LeftButton: base = WM_LBUTTONDOWN; break;
        case Qt::RightButton: base = WM_RBUTTONDOWN; break;
        case Qt::MiddleButton: base = WM_MBUTTONDOWN; break;
        default: return true;
        }
        msg = type == QEvent::MouseButtonPress ? base : type == QEvent::MouseButtonDblClick ? base + 2 : base + 1;
    }

    QPointer<TNativeWidget> guard(this);
    // The window picks the cursor, also over its windowless children (it knows them).
    if (type == QEvent::MouseMove && e->buttons() == Qt::NoButton && !GetCapture() && !mouseChild) {
        SetCursorTarget(viewport());
        Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), MakeLParam(HTCLIENT, WM_MOUSEMOVE));
        SetCursorTarget(nullptr);
        if (!guard || !owner) return true;
    }
    TWindowlessControl* under = ChildAt(*owner, p);
    Hover(under);
    if (!guard || !owner) return true;
    TWindowlessControl* child = mouseChild ? mouseChild : under;
    if (child) {
        TWindowlessControl::TImpl& g = child->Impl();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            mouseChild = child;
            g.captured = true;
        }
        TMessage m{msg, mk, MakeLParam(p.x() - g.bounds.x(), p.y() - g.bounds.y()), 0};
        g.handler->WndProc(m);
        if (!guard || !owner) return true;
        if (type == QEvent::MouseButtonRelease && e->buttons() == Qt::NoButton && mouseChild == child) {
            mouseChild = nullptr;
            g.captured = false;
        }
        return true;
    }

    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && GetFocus() != handle) {
        const LRESULT r = Send(WM_MOUSEACTIVATE, 0, MakeLParam(HTCLIENT, int(msg)));
        if (!owner) return true;
        if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) return true;
    }
    Send(msg, mk, MakeLParam(p.x(), p.y()));
    return true;
}

void TNativeWidget::Wheel(QWheelEvent* e) {
    if (!owner) return;
    SetMouseKeyState(e->buttons(), e->modifiers());
    const WPARAM mk = MouseKeyFlags(e->buttons(), e->modifiers());
    const QPoint g = e->globalPosition().toPoint();
    const QPoint delta = e->angleDelta();
    if (delta.y() != 0) Send(WM_MOUSEWHEEL, MakeWParam(int(mk), delta.y()), MakeLParam(g.x(), g.y()));
    else if (delta.x() != 0) Send(WM_MOUSEHWHEEL, MakeWParam(int(mk), delta.x()), MakeLParam(g.x(), g.y()));
    e->accept();
}

bool TNativeWidget::viewportEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::Paint:
        Paint(static_cast<QPaintEvent*>(e));
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return Mouse(static_cast<QMouseEvent*>(e));
    case QEvent::Wheel:
        Wheel(static_cast<QWheelEvent*>(e));
        return true;
    case QEvent::Enter:
        if (owner) {
            Send(CM_MOUSEENTER);
            if (owner && !GetCapture()) {
                SetCursorTarget(viewport());
                Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), MakeLParam(HTCLIENT, WM_MOUSEMOVE));
                SetCursorTarget(nullptr);
            }
        }
        return true;
    case QEvent::Leave:
        if (owner) {
            QPointer<TNativeWidget> guard(this);
            Hover(nullptr);
            if (guard && owner) Send(CM_MOUSELEAVE);
        }
        return true;
    case QEvent::ContextMenu:
        if (owner) {
            const QPoint g = static_cast<QContextMenuEvent*>(e)->globalPos();
            Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), MakeLParam(g.x(), g.y()));
        }
        return true;
    case QEvent::Resize: {
        const bool r = QAbstractScrollArea::viewportEvent(e);
        CheckClientSize();
        return r;
    }
    default:
        return QAbstractScrollArea::viewportEvent(e);
    }
}
