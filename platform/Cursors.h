#pragma once
// Mouse cursors: the standard shapes, the editor's margin cursor, cursors made from
// bitmaps, the cursor of the window under the pointer, and the screen cursor (an
// override over every window, saved and restored in nested pairs).
#include "platform/Types.h"

class TBitmap;

constexpr int IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515,
              IDC_UPARROW = 32516, IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643,
              IDC_SIZEWE = 32644, IDC_SIZENS = 32645, IDC_SIZEALL = 32646, IDC_NO = 32648,
              IDC_HAND = 32649, IDC_APPSTARTING = 32650;

// A standard cursor (process-lifetime; never destroyed). Unknown ids give the arrow.
HCURSOR LoadCursor(int id);
// The arrow pointing up and to the right that the left margin of text shows.
HCURSOR MarginCursor();
// The program's cursor resource `name` (letter case ignored): "ZALLINECURSOR" is the
// margin arrow; any other name is an RT_CURSOR image blob with its hot spot at the
// top-left corner. nullptr when there is no such cursor. The caller owns it: DestroyCursor.
HCURSOR LoadCursorFromResource(const char* name);
// A cursor from an image; mask pixels that are white are transparent (no mask: the
// image's transparent colour is). The caller owns it: DestroyCursor.
HCURSOR CreateCursorFromBitmap(const TBitmap& image, const TBitmap* mask, int hotX, int hotY);
void DestroyCursor(HCURSOR cursor);

// Shows `cursor` in the window that is handling WM_SETCURSOR (else the window under the
// pointer). Returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// The screen cursor overrides every window's cursor until it is restored.
void PushScreenCursor(HCURSOR cursor);
void PopScreenCursor();
int ScreenCursorDepth();

// Sets the screen cursor for the lifetime of the object.
class TScreenCursorScope {
public:
    explicit TScreenCursorScope(HCURSOR cursor) { PushScreenCursor(cursor); }
    ~TScreenCursorScope() { PopScreenCursor(); }
    TScreenCursorScope(const TScreenCursorScope&) = delete;
    TScreenCursorScope& operator=(const TScreenCursorScope&) = delete;
};
