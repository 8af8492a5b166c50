// Display: painting the rows, invalidation, moving pixels after a scroll, the scroll bars
// and their messages, and the placement of the system caret with its status notification.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "editor/ZalEdit.h"
#include "platform/ScrollBars.h"
#include "platform/Window.h"
#include "text/TextHelpers.h"

namespace {
// The first len characters of s with every tab widened to spaces up to the next stop.
void ExpandTabs(const char* s, int len, int tabSize, std::string& out) {
    out.clear();
    out.reserve(size_t(TextWidth(s, len, tabSize)));
    const size_t tab = size_t(std::clamp(tabSize, 1, 255));
    for (int i = 0; i < len; ++i) {
        if (s[i] == '\t')
            out.append(tab - out.size() % tab, ' ');
        else
            out.push_back(s[i]);
    }
}
} // namespace

// --- the caret ---------------------------------------------------------------------------

void TZalCustomEditor::PlaceCaret(int32_t visualCol) {
    if (caretLine_ > LineCount()) caretLine_ = LineCount();
    if (visualCol == 0) visualCol = CaretVisualColumn();
    const bool onScreen = visualCol >= int64_t(horzOffset_) + 1 &&
                          visualCol <= int64_t(horzOffset_) + visibleCols_ && caretLine_ >= topLine_ &&
                          caretLine_ < int64_t(topLine_) + visibleRows_;
    int x = kCaretOffScreen, y = kCaretOffScreen;
    if (onScreen) {
        x = (visualCol - horzOffset_ - 1) * charWidth_ + leftMargin_;
        y = (caretLine_ - topLine_) * rowHeight_;
    }
    if (Focused()) {
        // A thin upright caret stands in the gap before the character, any other in its cell.
        const TZalCaret* caret = caretPair_->CurrentCaret();
        const bool inCell = caret && (caret->Shape() == csBlock || caret->Shape() == csHalfBlock ||
                                      caret->Shape() == csHorzLine || caret->CaretWidth() > 4);
        caretPair_->SetPosition({inCell ? x : x - 1, y});
    }
    // Also when the caret is off screen: the status shows where it is, seen or not.
    if (HandleAllocated())
        PostMessage(Handle(), ZM_SHOWSTATUS, WPARAM(uint16_t(visualCol)), LPARAM(caretLine_));
}

// --- invalidation --------------------------------------------------------------------------

void TZalCustomEditor::InvalidateAll(bool update) {
    if (!HandleAllocated()) return;
    if (!invalidated_) {
        invalidated_ = true;
        InvalidateRect(Handle(), nullptr, 0);
    }
    if (update) UpdateWindow(Handle());
}

void TZalCustomEditor::InvalidateLines(int32_t line1, int32_t line2) {
    if (invalidated_ || !HandleAllocated()) return;
    if (line1 > line2) std::swap(line1, line2);
    const int64_t lastOnPage = int64_t(topLine_) + visibleRows_ - 1;
    if (line2 < topLine_ || line1 > lastOnPage) return;
    TRect rect = ClientRect();
    rect.Top = int(std::max<int64_t>(int64_t(line1) - topLine_, 0)) * rowHeight_;
    const int64_t lastRow = std::min<int64_t>(int64_t(line2) - topLine_, visibleRows_ - 1);
    // The last full row takes the partial row below it along.
    if (lastRow < visibleRows_ - 1) rect.Bottom = int(lastRow + 1) * rowHeight_;
    InvalidateRect(Handle(), &rect, 0);
}

// --- scroll bars ---------------------------------------------------------------------------

void TZalCustomEditor::MarkScrollBarsDirty() {
    horzPosDirty_ = vertPosDirty_ = vertRangeDirty_ = true;
}

void TZalCustomEditor::UpdateHorzRange() {
    int32_t most = WordWrap() ? WrapColumn() : ParaLengthLimit();
    most = std::min(most, kMaxHorzRange);
    if (most <= 0 && scrollBarsAlways_) most = 1;
    horzMax_ = most;
    if (!HandleAllocated()) return;
    int32_t range = horzMax_;
    if (!hasHorzBar_ || (visibleCols_ >= horzMax_ && !scrollBarsAlways_)) range = 0;
    SetScrollRange(Handle(), SB_HORZ, 0, range, 0);
}

void TZalCustomEditor::UpdateHorzPos() {
    if (!HandleAllocated()) return;
    if (hasHorzBar_) SetScrollPos(Handle(), SB_HORZ, horzOffset_, 1);
    horzPosDirty_ = false;
}

void TZalCustomEditor::UpdateVertRange() {
    if (!HandleAllocated()) return;
    UpdateVertPos();
    vertRangeDirty_ = false;
}

void TZalCustomEditor::UpdateVertPos() {
    if (!HandleAllocated()) return;
    if (hasVertBar_) {
        TScrollInfo info;
        // Disabled rather than hidden when everything fits, so the client width stays.
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 1;
        info.nMax = LineCount();
        info.nPage = UINT(std::max(visibleRows_, 0));
        info.nPos = topLine_;
        SetScrollInfo(Handle(), SB_VERT, info, 1);
    }
    vertPosDirty_ = false;
}

void TZalCustomEditor::WMHScroll(TMessage& message) {
    switch (LoWord(message.WParam)) {
    case SB_LINELEFT: Scroll(-1, 0); break;
    case SB_LINERIGHT: Scroll(1, 0); break;
    case SB_PAGELEFT: Scroll(-(visibleCols_ - 1), 0); break;
    case SB_PAGERIGHT: Scroll(visibleCols_ - 1, 0); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        const int32_t pos = std::max(ScrollThumbPos(message.WParam), int32_t(0));
        if (pos == horzOffset_) break;
        horzOffset_ = pos;
        UpdateHorzPos();
        InvalidateAll(true);
        break;
    }
    default: break;
    }
    message.Result = 0;
}

void TZalCustomEditor::WMVScroll(TMessage& message) {
    switch (LoWord(message.WParam)) {
    case SB_LINEUP: Scroll(0, -1); break;
    case SB_LINEDOWN: Scroll(0, 1); break;
    case SB_PAGEUP: Scroll(0, -visibleRows_); break;
    case SB_PAGEDOWN: Scroll(0, visibleRows_); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        // The full 32-bit position: texts have far more lines than 16 bits count. A
        // position left over from a longer text must not fail the drag.
        SetTopLine(std::clamp(ScrollThumbPos(message.WParam), int32_t(1), LineCount()));
        break;
    default: break;
    }
    message.Result = 0;
}

bool TZalCustomEditor::HandleDisplayMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1; // painting covers the whole client area
        return true;
    case WM_HSCROLL:
        WMHScroll(message);
        return true;
    case WM_VSCROLL:
        WMVScroll(message);
        return true;
    default:
        return false;
    }
}

// --- pixels ----------------------------------------------------------------------------------

void TZalCustomEditor::ScrollPixels(int32_t dx, int32_t dy) {
    if (!HandleAllocated()) return;
    if (invalidated_) {
        UpdateWindow(Handle());
        return;
    }
    const int64_t x = int64_t(dx) * charWidth_, y = int64_t(dy) * rowHeight_;
    const int textWidth = visibleCols_ * charWidth_, textHeight = visibleRows_ * rowHeight_;
    if (std::llabs(x) >= textWidth || std::llabs(y) >= textHeight || (x != 0 && y != 0)) {
        InvalidateAll(true);
        return;
    }
    const TRect text{leftMargin_, 0, leftMargin_ + textWidth, textHeight};
    ScrollWindow(Handle(), int(x), int(y), &text, &text);
    // The glyphs belong to their lines; a margin without glyphs is plain background.
    if (showBookmarks_ && y != 0) {
        const TRect margin{0, 0, leftMargin_, textHeight};
        ScrollWindow(Handle(), 0, int(y), &margin, &margin);
    }
    UpdateWindow(Handle());
}

// --- painting --------------------------------------------------------------------------------

bool TZalCustomEditor::DoOnDrawLine(TCanvas& canvas, const TRect& rect, const char* s, int32_t len,
                                    int32_t line, int32_t pos, int32_t count, int32_t hbLine,
                                    int32_t hbCol, int32_t heLine, int32_t heCol) {
    if (!OnDrawLine) return false;
    TRect copy = rect;
    bool drawn = false;
    OnDrawLine(this, canvas, copy, s, len, line, pos, count, hbLine, hbCol, heLine, heCol, drawn);
    return drawn;
}

TZalCustomEditor::THighlight TZalCustomEditor::PaintedHighlight(int64_t firstLine, int64_t lastLine) {
    THighlight h;
    if (!Enabled() || !SelectionExists() || (hideSelection_ && !Focused())) return h;
    h.StartLine = selStartLine_;
    h.EndLine = selEndLine_;
    // An end's column matters only on a painted row, unless a handler is told it: an end
    // far from the page is not looked up on every paint.
    auto visual = [&](int32_t line, int32_t col) -> int32_t {
        if (!OnDrawLine && (line < firstLine || line > lastLine)) return 0;
        const char* text;
        int len;
        list_->GetLineText(line, text, len);
        return list_->PosToColumn(text, len, col);
    };
    h.StartCol = visual(selStartLine_, selStartCol_);
    h.EndCol = visual(selEndLine_, selEndCol_);
    return h;
}

void TZalCustomEditor::SplitRow(int32_t line, int32_t n, const THighlight& h, int32_t& normal,
                                int32_t& marked) const {
    const int32_t c = horzOffset_ + 1; // the first visible visual column
    normal = n;
    marked = 0;
    if (h.StartLine == 0 || line < h.StartLine || line > h.EndLine) return;
    if (line > h.StartLine && line < h.EndLine) {
        normal = 0;
        marked = n;
    } else if (line == h.StartLine) {
        // Ends left or right of the window are held to its cells.
        normal = std::clamp(h.StartCol - c, 0, n);
        marked = line == h.EndLine ? std::clamp(h.EndCol - c - normal, 0, n - normal) : n - normal;
    } else if (h.EndCol >= c) { // the end line: a selection ending in column 1 marks nothing
        normal = 0;
        marked = std::min(h.EndCol - c, n);
    }
}

void TZalCustomEditor::PaintRow(TCanvas& canvas, const TRect& rect, int64_t line, const THighlight& h,
                                std::string& expanded) {
    if (line > LineCount()) {
        if (!(OnDrawLine && DoOnDrawLine(canvas, rect, "", 0, int32_t(line), horzOffset_, visibleCols_,
                                         h.StartLine, h.StartCol, h.EndLine, h.EndCol)))
            canvas.FillRect(rect, color_);
        return;
    }
    const char* text;
    int len;
    list_->GetLineText(int32_t(line), text, len);
    // Lines without tabs are drawn straight from the paragraph.
    if (HasTab(text, len)) {
        ExpandTabs(text, len, TabSize(), expanded);
        text = expanded.c_str();
        len = int(expanded.size());
    }
    const int32_t shown = horzOffset_ < len ? std::min(len - horzOffset_, visibleCols_) : 0;
    if (OnDrawLine && DoOnDrawLine(canvas, rect, shown > 0 ? text : "", shown > 0 ? len : 0,
                                   int32_t(line), horzOffset_, visibleCols_, h.StartLine, h.StartCol,
                                   h.EndLine, h.EndCol))
        return;
    if (shown == 0) {
        canvas.FillRect(rect, color_);
        return;
    }
    const char* part = text + horzOffset_;
    int32_t normal = 0, marked = 0;
    SplitRow(int32_t(line), shown, h, normal, marked);
    int x = rect.Left;
    auto segment = [&](int right, const char* s, int32_t count) {
        const TRect r{x, rect.Top, right, rect.Bottom};
        canvas.ExtTextOut(x, rect.Top + 1, ETO_OPAQUE | ETO_CLIPPED, &r, s, size_t(count));
        x = right;
    };
    if (normal > 0) segment(normal == shown ? rect.Right : x + normal * charWidth_, part, normal);
    if (marked > 0) {
        const TColor text0 = canvas.TextColor(), back0 = canvas.BkColor();
        canvas.SetTextColor(highlightColors_->TextColor());
        canvas.SetBkColor(highlightColors_->BackColor());
        // The highlight covers the selected characters only, never the cells past them.
        segment(std::min(rect.Right, x + marked * charWidth_), part + normal, marked);
        canvas.SetTextColor(text0);
        canvas.SetBkColor(back0);
    }
    if (x < rect.Right) segment(rect.Right, part + normal + marked, shown - normal - marked);
}

void TZalCustomEditor::PaintBookmarks(TCanvas& canvas) {
    if (!markerBitmap_) return;
    const int width = markerBitmap_->Width() / kMarkerCount;
    const int height = markerBitmap_->Height();
    if (width <= 0 || width > leftMargin_) return;
    // Each paragraph takes a line at least, so a bookmark past the page's paragraphs
    // cannot be on it: only the others are looked up.
    int32_t lineOf[kMarkerCount] = {};
    bool any = false;
    for (int i = 0; i < kMarkerCount; ++i) {
        const TParaPos p = list_->Marker(i);
        if (p.Para == 0 || p.Pos == 0 || p.Para < topPara_ || p.Para - int64_t(topPara_) >= visibleRows_) continue;
        int col = 0;
        lineOf[i] = list_->ParaPosToLine(p.Para, p.Pos, col);
        any = true;
    }
    if (!any) return;
    const int dy = rowHeight_ >= height + 2 ? (rowHeight_ - height) / 2 : 0;
    for (int32_t row = 1; row <= visibleRows_; ++row) {
        const int64_t line = int64_t(topLine_) + row - 1;
        // The lower-numbered bookmark wins a shared line.
        const int32_t* hit = std::find(lineOf, lineOf + kMarkerCount, line);
        if (hit == lineOf + kMarkerCount) continue;
        canvas.BitBlt(1, (row - 1) * rowHeight_ + dy, width, height, *markerBitmap_,
                      int(hit - lineOf) * width, 0);
    }
}

void TZalCustomEditor::Paint(TCanvas& canvas) {
    canvas.SelectFont(FontDescOf(fixedFont_->Font()));
    canvas.SetBrushColor(color_);
    const TRect client = ClientRect();
    const int textRight = leftMargin_ + visibleCols_ * charWidth_;
    const TRect clip = canvas.GetClipBox();
    const int32_t firstRow = std::max(clip.Top / rowHeight_ + 1, 1);
    int32_t lastRow = (clip.Bottom + rowHeight_ - 1) / rowHeight_;
    if (lastRow == visibleRows_) lastRow = visibleRows_ + 1; // the partial row goes along
    const int32_t lastFullRow = std::min(lastRow, visibleRows_);
    const THighlight highlight =
        PaintedHighlight(int64_t(topLine_) + firstRow - 1, int64_t(topLine_) + lastFullRow - 1);

    canvas.FillRect({client.Left, client.Top, leftMargin_, client.Bottom});
    canvas.FillRect({textRight, client.Top, client.Right, client.Bottom});
    if (showBookmarks_) PaintBookmarks(canvas);

    canvas.SetTextColor(Enabled() ? fixedFont_->Color() : clGrayText);
    canvas.SetBkColor(color_);
    std::string expanded;
    for (int32_t row = firstRow; row <= lastFullRow; ++row) {
        const TRect rect{leftMargin_, (row - 1) * rowHeight_, textRight, std::min(row * rowHeight_, client.Bottom)};
        PaintRow(canvas, rect, int64_t(topLine_) + row - 1, highlight, expanded);
    }
    if (lastRow > visibleRows_) canvas.FillRect({leftMargin_, visibleRows_ * rowHeight_, textRight, client.Bottom});

    invalidated_ = false;
    if (vertRangeDirty_) UpdateVertRange();
    if (vertPosDirty_) UpdateVertPos();
    if (horzPosDirty_) UpdateHorzPos();
    PlaceCaret(0);
}
