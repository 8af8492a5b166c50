#pragma once
// The standard scroll bars of a window, with Win32 semantics: a range min..max, a page,
// a position in min..max - page + 1. A bar that has nothing to scroll is hidden, or only
// disabled when SIF_DISABLENOSCROLL asks for it. Showing or hiding a bar changes the
// client area (WM_SIZE follows at once). User actions on a bar arrive as WM_HSCROLL /
// WM_VSCROLL with an SB_ code; thumb messages carry the 32-bit position (ScrollThumbPos).
#include "platform/Messages.h"
#include "platform/Types.h"

constexpr UINT SIF_RANGE = 0x0001, SIF_PAGE = 0x0002, SIF_POS = 0x0004,
               SIF_DISABLENOSCROLL = 0x0008, SIF_TRACKPOS = 0x0010,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct TScrollInfo {
    UINT fMask = 0;
    int nMin = 0, nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0; // read only: the thumb while it is dragged
};

// bar: SB_HORZ or SB_VERT. Returns the new position (0 on failure).
int SetScrollInfo(HWND window, int bar, const TScrollInfo& info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, TScrollInfo& info);
// Returns the previous position.
int SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND window, int bar);
// min == max hides the bar.
BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, int& min, int& max);
// bar may also be SB_BOTH.
BOOL ShowScrollBar(HWND window, int bar, BOOL show);

// The state of a bar as the user sees it.
bool IsScrollBarShown(HWND window, int bar);
bool IsScrollBarEnabled(HWND window, int bar);
