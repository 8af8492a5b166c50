#pragma once
// Window timers and millisecond clocks.
#include <cstdint>

#include "platform/Messages.h"
#include "platform/Types.h"

using UINT_PTR = uintptr_t;

// Starts (or restarts) timer `id` of the window: WM_TIMER with WParam id arrives every
// `milliseconds` (at least 10), never before they are over, while the window exists. Returns the id (1 for id 0),
// or 0 when refused (no such window, or the system has no timer left).
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds);
BOOL KillTimer(HWND window, UINT_PTR id);

// Milliseconds on a monotonic clock, wrapping at 2^32.
uint32_t GetTickCount();
uint32_t timeGetTime();
