// Display: painting the rows, invalidation, moving pixels after a scroll, the scroll bars
// and the placement of the system caret with its status notification.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "editor/ZalEdit.h"
#include "platform/ScrollBars.h"
#include "platform/Window.h"

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
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMin = 1;
        info.nMax = LineCount();
        info.nPage = UINT(std::max(visibleRows_, 0));
        info.nPos = topLine_;
        SetScrollInfo(Handle(), SB_VERT, info, 1);
    }
    vertPosDirty_ = false;
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

void TZalCustomEditor::Paint(TCanvas& canvas) {
    canvas.SelectFont(FontDescOf(fixedFont_->Font()));
    const TRect client = ClientRect();
    const int textRight = leftMargin_ + visibleCols_ * charWidth_;
    canvas.FillRect({0, 0, leftMargin_, client.Bottom}, color_);
    canvas.FillRect({textRight, 0, client.Right, client.Bottom}, color_);
    canvas.SetTextColor(Enabled() ? fixedFont_->Color() : clGrayText);
    canvas.SetBkColor(color_);
    const TRect clip = canvas.GetClipBox();
    const int32_t firstRow = clip.Top / rowHeight_ + 1;
    const int32_t lastRow = (clip.Bottom + rowHeight_ - 1) / rowHeight_;
    std::string expanded;
    for (int32_t row = std::max(firstRow, int32_t(1)); row <= std::min(lastRow, visibleRows_ + 1); ++row) {
        const TRect rect{leftMargin_, (row - 1) * rowHeight_, textRight,
                         std::min(row * rowHeight_, client.Bottom)};
        const int64_t line = int64_t(topLine_) + row - 1;
        if (row > visibleRows_ || line > LineCount()) {
            if (row > visibleRows_ || !DoOnDrawLine(canvas, rect, "", 0, int32_t(line), horzOffset_,
                                                    visibleCols_, 0, 0, 0, 0))
                canvas.FillRect(rect, color_);
            continue;
        }
        const char* text;
        int len;
        list_->GetLineText(int32_t(line), text, len);
        expanded.clear();
        const int tab = std::max(1, TabSize());
        for (int i = 0; i < len; ++i) {
            if (text[i] == '\t')
                expanded.append(size_t(tab - int(expanded.size()) % tab), ' ');
            else
                expanded.push_back(text[i]);
        }
        if (DoOnDrawLine(canvas, rect, expanded.c_str(), int32_t(expanded.size()), int32_t(line),
                         horzOffset_, visibleCols_, 0, 0, 0, 0))
            continue;
        const size_t first = std::min(expanded.size(), size_t(horzOffset_));
        const size_t count = std::min(expanded.size() - first, size_t(visibleCols_));
        canvas.ExtTextOut(leftMargin_, rect.Top + 1, ETO_OPAQUE | ETO_CLIPPED, &rect,
                          expanded.data() + first, count);
    }
    invalidated_ = false;
    if (vertRangeDirty_) UpdateVertRange();
    if (vertPosDirty_) UpdateVertPos();
    if (horzPosDirty_) UpdateHorzPos();
    PlaceCaret(0);
}

bool TZalCustomEditor::HandleDisplayMessage(TMessage& message) {
    if (message.Msg == WM_ERASEBKGND) {
        message.Result = 1; // painting covers the whole client area
        return true;
    }
    return false;
}
