#include "platform/Keyboard.h"
#include "platform/VirtualKeys.h"

namespace {
thread_local TKeyboardState g_state;

constexpr int16_t kDown = static_cast<int16_t>(0x8000);
constexpr int16_t kToggled = 0x0001;

int16_t Down(bool down) { return down ? kDown : 0; }
} // namespace

void SetMessageKeyState(const TKeyboardState& state) { g_state = state; }
const TKeyboardState& MessageKeyState() { return g_state; }

int16_t GetKeyState(int vk) {
    const TKeyboardState& s = g_state;
    switch (vk) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return Down(s.Shift);
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return Down(s.Control);
    case VK_MENU: case VK_LMENU: case VK_RMENU: return Down(s.Alt);
    case VK_CAPITAL: return static_cast<int16_t>(s.CapsLock ? kToggled : 0);
    case VK_NUMLOCK: return static_cast<int16_t>(s.NumLock ? kToggled : 0);
    case VK_SCROLL: return static_cast<int16_t>(s.ScrollLock ? kToggled : 0);
    case VK_LBUTTON: return Down(s.LButton);
    case VK_RBUTTON: return Down(s.RButton);
    case VK_MBUTTON: return Down(s.MButton);
    default: return Down(vk != 0 && vk == s.DownKey);
    }
}
