#pragma once
// The caret: one per GUI thread, owned by one window at a time, drawn by inverting the
// pixels it covers and blinking. It is created hidden; ShowCaret and HideCaret nest (a
// caret hidden twice needs two ShowCaret calls), as on Win32.
#include "platform/Types.h"

class TBitmap;

enum class TCaretKind { Solid, Gray, Bitmap };

// Replaces any existing caret. width or height 0 gives one pixel; a bitmap caret takes
// the bitmap's size. False for a window that does not exist (or a missing bitmap).
BOOL CreateCaret(HWND window, TCaretKind kind, int width, int height, const TBitmap* bitmap = nullptr);
BOOL DestroyCaret();
// window must own the caret (0 means "whoever owns it").
BOOL ShowCaret(HWND window);
BOOL HideCaret(HWND window);
// Client coordinates of the caret's top-left corner in its window.
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(TPoint& point);
// Milliseconds per blink phase for every caret of the process.
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT milliseconds);

// For tests and diagnostics: the owner, size, and whether the caret is on screen now.
HWND CaretOwner();
TSize CaretSize();
bool CaretVisible(); // created and not hidden
bool CaretDrawn();   // visible and in the "on" phase of its blink
