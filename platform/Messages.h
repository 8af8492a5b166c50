#pragma once
// Window message numbers and the message record handed to message handlers.
// The numbers are the classic Win32 ones, so that code written against them reads
// as it always has; the platform layer turns Qt events into them.
#include <cstdint>

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B; // WParam 0: paint nothing until 1 comes
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSEHWHEEL = 0x020E;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_USER = 0x0400;

// Messages of the windowing class layer (not Win32 ones): the pointer entered or left a
// control, windowed or not; a windowless control's enabled state changed; a character
// typed with Alt (WParam) offered to the form's controls as an accelerator (Result 1: taken).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 3;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;

// The library's private messages.
constexpr UINT ZM_FIRST_PRIVATE = 0x7F02;
constexpr UINT ZM_LAST_PRIVATE = 0x7F0D;

// Key-message flags in LParam (bit 29: Alt was down; bit 30: the key was down before).
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;
constexpr LPARAM KF_REPEAT_BIT = LPARAM(1) << 30;

// Mouse-message key flags in WParam.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Scroll-bar request codes (low word of WParam of WM_HSCROLL / WM_VSCROLL).
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1,
              SB_PAGEUP = 2, SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3,
              SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
              SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
// Which bar.
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;

// WM_MOUSEACTIVATE answers.
constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3,
                  MA_NOACTIVATEANDEAT = 4;

// WM_NCHITTEST answers.
constexpr LRESULT HTNOWHERE = 0, HTCLIENT = 1, HTVSCROLL = 7, HTHSCROLL = 6, HTBORDER = 18;

// WM_SIZE request codes.
constexpr WPARAM SIZE_RESTORED = 0;

static_assert(sizeof(WPARAM) >= 6, "thumb positions need 48-bit WPARAM");

inline uint16_t LoWord(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
inline uint16_t HiWord(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
// Two 16-bit values packed as Win32 packs them (low word first).
inline LPARAM MakeLParam(int lo, int hi) {
    return static_cast<LPARAM>((static_cast<uint32_t>(hi & 0xFFFF) << 16) | static_cast<uint32_t>(lo & 0xFFFF));
}
inline WPARAM MakeWParam(int lo, int hi) { return static_cast<WPARAM>(static_cast<uint32_t>(MakeLParam(lo, hi))); }
// Signed client coordinates of a mouse message.
inline int GetXLParam(LPARAM l) { return static_cast<int16_t>(LoWord(static_cast<uintptr_t>(l))); }
inline int GetYLParam(LPARAM l) { return static_cast<int16_t>(HiWord(static_cast<uintptr_t>(l))); }
// The signed wheel distance of WM_MOUSEWHEEL (120 per notch, positive away from the user).
inline int GetWheelDelta(WPARAM w) { return static_cast<int16_t>(HiWord(w)); }
// The thumb position of a WM_HSCROLL / WM_VSCROLL thumb message. It is carried in full
// 32 bits above the request code, so HiWord still gives the classic 16-bit value.
inline int32_t ScrollThumbPos(WPARAM w) { return static_cast<int32_t>(static_cast<uint64_t>(w) >> 16); }
inline WPARAM MakeScrollWParam(int code, int32_t pos) {
    return static_cast<WPARAM>((static_cast<uint64_t>(static_cast<uint32_t>(pos)) << 16) | static_cast<uint16_t>(code));
}
