#pragma once
// The live pointer and the system metrics the controls ask for, and a seam that lets
// tests script the live input.
#include <cstdint>

#include "platform/Types.h"

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
              SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXCURSOR = 13,
              SM_CYCURSOR = 14, SM_MOUSEPRESENT = 19, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21,
              SM_SWAPBUTTON = 23, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXEDGE = 45,
              SM_CYEDGE = 46;

// The pointer in screen coordinates.
BOOL GetCursorPos(TPoint& point);
int GetSystemMetrics(int index);
UINT GetDoubleClickTime();
// Whether one of the program's windows is the active one.
bool ApplicationIsActive();

// Live input answered by a script instead of the system, so that loops polling the
// pointer, the buttons and the clock (drag selection) run in tests without a real mouse
// and without sleeping. While a script is set, GetCursorPos, GetAsyncKeyState and
// timeGetTime ask it.
class ILiveInputScript {
public:
    virtual ~ILiveInputScript() = default;
    // The pointer in screen coordinates.
    virtual TPoint CursorPos() = 0;
    // Whether the key or button is down now.
    virtual bool KeyDown(int virtualKey) = 0;
    // The millisecond clock.
    virtual uint32_t Milliseconds() = 0;
};
// nullptr gives the answers back to the system.
void SetLiveInputScript(ILiveInputScript* script);
ILiveInputScript* LiveInputScript();
