#include "platform/Input.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <set>

#include "platform/KeyMap.h"
#include "platform/Keyboard.h"
#include "platform/VirtualKeys.h"

namespace {
ILiveInputScript* g_script = nullptr;

std::set<uint16_t>& DownKeys() {
    static std::set<uint16_t> keys;
    return keys;
}

int ScrollBarExtent() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 16;
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}
} // namespace

void SetLiveInputScript(ILiveInputScript* script) { g_script = script; }
ILiveInputScript* LiveInputScript() { return g_script; }

void NoteKeyTransition(uint16_t vk, bool down) {
    if (down) DownKeys().insert(vk);
    else DownKeys().erase(vk);
}

int16_t GetAsyncKeyState(int vk) {
    constexpr int16_t kDown = static_cast<int16_t>(0x8000);
    if (g_script) return g_script->KeyDown(vk) ? kDown : 0;
    const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    const Qt::MouseButtons buttons = gui ? QGuiApplication::mouseButtons() : Qt::NoButton;
    switch (vk) {
    case VK_LBUTTON: return buttons & Qt::LeftButton ? kDown : 0;
    case VK_RBUTTON: return buttons & Qt::RightButton ? kDown : 0;
    case VK_MBUTTON: return buttons & Qt::MiddleButton ? kDown : 0;
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
    case VK_MENU: case VK_LMENU: case VK_RMENU: {
        if (!gui) return 0;
        const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
        Qt::KeyboardModifier want = vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT ? Qt::ShiftModifier
                                    : vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU ? Qt::AltModifier
                                                                                        : Qt::ControlModifier;
        return mods & want ? kDown : 0;
    }
    default: return DownKeys().count(uint16_t(vk)) ? kDown : 0;
    }
}

BOOL GetCursorPos(TPoint& point) {
    if (g_script) {
        point = g_script->CursorPos();
        return 1;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    const QPoint p = QCursor::pos();
    point = TPoint{p.x(), p.y()};
    return 1;
}

int GetSystemMetrics(int index) {
    QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                                   : nullptr;
    switch (index) {
    case SM_CXSCREEN: return screen ? screen->geometry().width() : 0;
    case SM_CYSCREEN: return screen ? screen->geometry().height() : 0;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return ScrollBarExtent();
    case SM_CYCAPTION: return 20;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_MOUSEPRESENT: return 1;
    case SM_SWAPBUTTON: return 0; // Qt reports the primary button as the left one already
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    default: return 0;
    }
}

UINT GetDoubleClickTime() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 500;
    return UINT(QApplication::doubleClickInterval());
}

bool ApplicationIsActive() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && QApplication::activeWindow() != nullptr;
}
