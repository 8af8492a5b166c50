#include "platform/ScrollBars.h"

#include "platform/NativeWindow.h"

namespace {
TNativeWidget::TBar* Bar(HWND window, int bar, TNativeWidget** native = nullptr) {
    TNativeWidget* n = NativeOf(window);
    if (!n || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
    if (native) *native = n;
    return &n->bars[bar];
}

int MaxPos(const TNativeWidget::TBar& b) { return std::max(b.min, b.max - std::max(int(b.page) - 1, 0)); }

// Clamps the page and position and decides whether the bar shows, as Win32 does.
void Normalise(TNativeWidget::TBar& b, bool disableNoScroll, bool rangeOrPageSet) {
    const long long span = (long long)b.max - b.min + 1;
    if (span <= 0) b.page = 0;
    else if ((long long)b.page > span) b.page = UINT(span);
    b.pos = std::clamp(b.pos, b.min, MaxPos(b));
    if (!rangeOrPageSet) return;
    const bool scrollable = b.max > b.min && (long long)b.page < span;
    if (scrollable) {
        b.shown = true;
        b.enabled = true;
    } else if (disableNoScroll) {
        b.shown = true;
        b.enabled = false;
    } else {
        b.shown = false;
    }
}
} // namespace

int SetScrollInfo(HWND window, int bar, const TScrollInfo& info, BOOL redraw) {
    (void)redraw;
    TNativeWidget* n = nullptr;
    TNativeWidget::TBar* b = Bar(window, bar, &n);
    if (!b) return 0;
    if (info.fMask & SIF_RANGE) {
        b->min = info.nMin;
        b->max = info.nMax < info.nMin ? info.nMin : info.nMax;
    }
    if (info.fMask & SIF_PAGE) b->page = info.nPage;
    if (info.fMask & SIF_POS) b->pos = info.nPos;
    Normalise(*b, info.fMask & SIF_DISABLENOSCROLL, info.fMask & (SIF_RANGE | SIF_PAGE));
    const int pos = b->pos;
    n->ApplyBar(bar);
    return pos;
}

BOOL GetScrollInfo(HWND window, int bar, TScrollInfo& info) {
    TNativeWidget::TBar* b = Bar(window, bar);
    if (!b) return 0;
    if (info.fMask & SIF_RANGE) info.nMin = b->min, info.nMax = b->max;
    if (info.fMask & SIF_PAGE) info.nPage = b->page;
    if (info.fMask & SIF_POS) info.nPos = b->pos;
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = b->tracking ? b->track : b->pos;
    return 1;
}

int SetScrollPos(HWND window, int bar, int pos, BOOL redraw) {
    TNativeWidget::TBar* b = Bar(window, bar);
    if (!b) return 0;
    const int previous = b->pos;
    TScrollInfo info;
    info.fMask = SIF_POS;
    info.nPos = pos;
    SetScrollInfo(window, bar, info, redraw);
    return previous;
}

int GetScrollPos(HWND window, int bar) {
    TNativeWidget::TBar* b = Bar(window, bar);
    return b ? b->pos : 0;
}

BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw) {
    if (!Bar(window, bar)) return 0;
    TScrollInfo info;
    info.fMask = SIF_RANGE;
    info.nMin = min;
    info.nMax = max;
    SetScrollInfo(window, bar, info, redraw);
    return 1;
}

BOOL GetScrollRange(HWND window, int bar, int& min, int& max) {
    TNativeWidget::TBar* b = Bar(window, bar);
    if (!b) return 0;
    min = b->min;
    max = b->max;
    return 1;
}

BOOL ShowScrollBar(HWND window, int bar, BOOL show) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    for (int which : {SB_HORZ, SB_VERT}) {
        if (bar != which && bar != SB_BOTH) continue;
        n->bars[which].shown = show != 0;
        n->ApplyBar(which);
        if (!NativeOf(window)) return 0;
    }
    return 1;
}

bool IsScrollBarShown(HWND window, int bar) {
    TNativeWidget::TBar* b = Bar(window, bar);
    return b && b->shown;
}

bool IsScrollBarEnabled(HWND window, int bar) {
    TNativeWidget::TBar* b = Bar(window, bar);
    return b && b->shown && b->enabled;
}
