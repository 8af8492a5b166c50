// The view core: the caret placement core every caret movement passes through, the Scroll
// core, the top-line report, the relayout after a re-wrap, and the adjustment of a view's
// positions after an edit of the shared text.
#include <algorithm>
#include <utility>

#include "editor/ZalEdit.h"

int32_t TZalCustomEditor::LineOf(TParaPos p, int32_t& col) {
    int c = 0;
    const int32_t line = list_->ParaPosToLine(p.Para, p.Pos, c);
    col = c;
    return line;
}

int32_t TZalCustomEditor::CaretVisualColumn() {
    const char* text;
    int len;
    list_->GetLineText(caretLine_, text, len);
    return list_->PosToColumn(text, len, caretCol_);
}

// --- the caret placement core --------------------------------------------------------------

void TZalCustomEditor::MoveCaretBy(int32_t deltaCol, int32_t deltaLine, bool extend, bool keepRow) {
    MoveCaret(deltaCol, deltaLine, extend, keepRow, false);
}

void TZalCustomEditor::MoveCaretTo(int32_t line, int32_t col, bool extend) {
    MoveCaret(int64_t(col) - caretCol_, int64_t(line) - caretLine_, extend, false, true);
}

void TZalCustomEditor::MoveCaretToPara(int32_t para, int32_t pos, bool extend) {
    int32_t col = 0;
    const int32_t line = LineOf({para, pos}, col);
    MoveCaretTo(line, col, extend);
}

void TZalCustomEditor::MoveCaret(int64_t deltaCol, int64_t deltaLine, bool extend, bool keepRow,
                                 bool absolute) {
    const int32_t lines = LineCount();
    const int32_t oldLine = caretLine_;
    const bool onPage = oldLine >= topLine_ && oldLine < int64_t(topLine_) + visibleRows_;
    const int32_t row = oldLine - topLine_;
    keepRow = keepRow && onPage;

    int64_t line = int64_t(oldLine) + deltaLine;
    if (line < 1) {
        line = line == 0 || deltaLine < 0 ? 1 : lines;
    } else if (line > lines) {
        if (oldLine == lines) return; // already on the last line: nothing changes
        line = lines;
    }
    const int32_t newLine = int32_t(line);

    const char* text;
    int len;
    int64_t col = caretCol_;
    if (!absolute && newLine != oldLine) {
        // The visual column carries over to the new line; no goal column is remembered.
        list_->GetLineText(oldLine, text, len);
        const int visual = list_->PosToColumn(text, len, caretCol_);
        list_->GetLineText(newLine, text, len);
        col = list_->ColumnToPos(text, len, visual);
    } else {
        list_->GetLineText(newLine, text, len);
    }
    int64_t limit = scrollPastEnd_ ? int64_t(ParaLengthLimit()) + 1 : int64_t(len) + 1;
    if (list_->PosToColumn(text, len, int(limit)) > ParaLengthLimit())
        limit = int64_t(list_->ColumnToPos(text, len, ParaLengthLimit())) + 1;
    col = std::clamp<int64_t>(col + deltaCol, 1, std::max<int64_t>(limit, 1));

    int offset = 0;
    caretPara_ = list_->LineToPara(newLine, offset);
    caretLineOffset_ = offset;
    caretLine_ = newLine;
    caretCol_ = int32_t(col);
    if (extend)
        ExtendSelection(true);
    else
        CollapseSelection(true);

    // Bring the caret into view.
    const int32_t visual = CaretVisualColumn();
    const bool inColumns = visual >= int64_t(horzOffset_) + 1 && visual <= int64_t(horzOffset_) + visibleCols_;
    const bool inRows = newLine >= topLine_ && newLine < int64_t(topLine_) + visibleRows_;
    if (!keepRow && inColumns && inRows) {
        PlaceCaret(visual);
        return;
    }
    int64_t top;
    if (keepRow)
        top = int64_t(newLine) - row;
    else if (inRows)
        top = topLine_;
    else if (newLine < topLine_)
        top = newLine;
    else
        top = int64_t(newLine) - visibleRows_ + 1;
    top = std::max<int64_t>({top, 1, int64_t(newLine) - visibleRows_ + 1});

    int64_t offsetNow = horzOffset_;
    if (!inColumns) {
        if (visual < int64_t(horzOffset_) + 1)
            offsetNow = visual > 2 ? visual - 1 : 0;
        else
            offsetNow = int64_t(visual) - visibleCols_;
    }
    int64_t deltaCols = offsetNow - horzOffset_;
    // On a later line the view starts again from column 1 rather than following the caret.
    if (newLine > oldLine && deltaCols != 0) deltaCols = -int64_t(horzOffset_);
    Scroll(int32_t(deltaCols), int32_t(top - topLine_));
}

// --- scrolling -----------------------------------------------------------------------------

void TZalCustomEditor::SetTopLineValue(int32_t line) {
    if (line == topLine_) return;
    topLine_ = line;
    DoOnTopLineChanged(line);
}

void TZalCustomEditor::Scroll(int32_t deltaCols, int32_t deltaLines) {
    const int32_t oldOffset = horzOffset_;
    const int32_t oldTop = topLine_;
    int64_t offset = deltaCols < 0 && -int64_t(deltaCols) > oldOffset ? 0 : int64_t(oldOffset) + deltaCols;
    offset = std::min<int64_t>(offset, INT32_MAX);
    int64_t top = int64_t(oldTop) + deltaLines;
    if (top <= 0) top = 1;
    const int64_t maxTop = int64_t(LineCount()) - visibleRows_ + 1;
    if (top > maxTop) top = maxTop <= 0 ? 1 : maxTop;
    if (top == oldTop && offset == oldOffset) {
        PlaceCaret(0);
        return;
    }
    horzOffset_ = int32_t(offset);
    topLine_ = int32_t(top);
    if (top != oldTop) {
        int off = 0;
        topPara_ = list_->LineToPara(topLine_, off);
        topLineOffset_ = off;
    }
    // The new top line is in force while the pixels move; it is reported afterwards, also
    // when drawing fails.
    auto report = [this, oldTop] {
        const int32_t reached = topLine_;
        topLine_ = oldTop;
        SetTopLineValue(reached);
    };
    try {
        if (top != oldTop) UpdateVertPos();
        if (offset != oldOffset) UpdateHorzPos();
        ScrollPixels(oldOffset - horzOffset_, oldTop - topLine_);
    } catch (...) {
        report();
        throw;
    }
    report();
}

// --- relayout after a re-wrap --------------------------------------------------------------

void TZalCustomEditor::Relayout() {
    int32_t col = 0;
    caretLine_ = LineOf({caretPara_, CaretPos()}, col);
    caretCol_ = col;
    if (list_->WordWrap()) caretCol_ = std::min(caretCol_, int32_t(list_->LineLength(caretLine_)) + 1);
    int offset = 0;
    caretPara_ = list_->LineToPara(caretLine_, offset);
    caretLineOffset_ = offset;

    const int32_t top = LineOf({topPara_, topLineOffset_ + 1}, col);
    topPara_ = list_->LineToPara(top, offset);
    topLineOffset_ = offset;
    SetTopLineValue(top);

    selStartLine_ = LineOf(selStart_, selStartCol_);
    selEndLine_ = LineOf(selEnd_, selEndCol_);
    UpdateHorzRange();
    horzOffset_ = std::min(horzOffset_, horzMax_);
    ResetScrollBars(true);
}

// --- adjustment after an edit --------------------------------------------------------------

// How an edit moved the positions of the text, as rules on plain Para/Pos pairs.
struct TZalCustomEditor::TEditShift {
    enum TKind { ParaDeleted, TextDeleted, ParaSplit, TextInserted, ParasJoined };
    TKind Kind;
    int32_t Para;
    int32_t Pos = 0;   // the join position for ParasJoined
    int32_t Count = 0; // characters deleted or inserted
    int32_t Indent = 0;

    TParaPos Apply(TParaPos p, int32_t paraCount) const {
        switch (Kind) {
        case ParaDeleted:
            if (p.Para == Para)
                p.Pos = 1; // the start of the paragraph that takes its number
            else if (p.Para > Para)
                --p.Para;
            p.Para = std::min(p.Para, paraCount);
            break;
        case TextDeleted:
            if (p.Para == Para && p.Pos >= Pos) p.Pos = p.Pos < Pos + Count ? Pos : p.Pos - Count;
            break;
        case ParaSplit:
            if (p.Para > Para)
                ++p.Para;
            else if (p.Para == Para && p.Pos >= Pos)
                p = {Para + 1, Indent + (p.Pos - Pos) + 1};
            break;
        case TextInserted:
            if (p.Para == Para && p.Pos >= Pos) p.Pos += Count;
            break;
        case ParasJoined:
            if (p.Para > Para) {
                if (p.Para == Para + 1) p.Pos += Pos - 1;
                --p.Para;
            }
            break;
        }
        return p;
    }
};

void TZalCustomEditor::AdjustForParaDeleted(int32_t para, bool isSelf) {
    AdjustView({TEditShift::ParaDeleted, para}, isSelf);
}

void TZalCustomEditor::AdjustForTextDeleted(int32_t para, int32_t pos, int32_t count, bool isSelf) {
    AdjustView({TEditShift::TextDeleted, para, pos, count}, isSelf);
}

void TZalCustomEditor::AdjustForParaSplit(int32_t para, int32_t pos, int32_t indent, bool isSelf) {
    AdjustView({TEditShift::ParaSplit, para, pos, 0, indent}, isSelf);
}

void TZalCustomEditor::AdjustForTextInserted(int32_t para, int32_t pos, int32_t count, bool isSelf) {
    AdjustView({TEditShift::TextInserted, para, pos, count}, isSelf);
}

void TZalCustomEditor::AdjustForParasJoined(int32_t para, int32_t joinPos, bool isSelf) {
    AdjustView({TEditShift::ParasJoined, para, joinPos}, isSelf);
}

void TZalCustomEditor::AdjustView(const TEditShift& shift, bool isSelf) {
    const int32_t paras = ParaCount();
    // An edit inside one paragraph leaves the positions of every other paragraph alone
    // and moves the lines after it by that paragraph's change of line count: such
    // positions are not looked up again, which would walk the text from the edit to
    // them once per edit (a replace-all far from the view).
    const bool inPara = shift.Kind == TEditShift::TextInserted || shift.Kind == TEditShift::TextDeleted;
    auto untouched = [&](TParaPos p) { return inPara && p.Para != shift.Para; };
    auto movedLine = [&](TParaPos p, int32_t line) {
        return p.Para > shift.Para ? line + list_->LastLineDelta() : line;
    };
    // The top: edits after the top paragraph leave its line where it is.
    if (shift.Para <= topPara_) {
        TParaPos top{topPara_, topLineOffset_ + 1};
        int32_t line = movedLine(top, topLine_);
        if (!untouched(top)) {
            // Enter at the very top of the performing view keeps the view where it is:
            // the new paragraph appears at the top.
            const bool splitAtTop =
                isSelf && shift.Kind == TEditShift::ParaSplit && shift.Para == top.Para && shift.Pos == top.Pos;
            if (!splitAtTop) top = shift.Apply(top, paras);
            int32_t col = 0;
            line = LineOf(top, col);
            int offset = 0;
            topPara_ = list_->LineToPara(line, offset);
            topLineOffset_ = offset;
        }
        if (line != topLine_) vertPosDirty_ = true;
        SetTopLineValue(line);
    }
    // The performing view places its own caret and selection.
    if (isSelf) return;

    // A join at a position beyond the end of its paragraph may report positions past the
    // text: only a view that lets the caret stand there keeps them.
    auto limited = [this](TParaPos p) {
        return TParaPos{p.Para, std::min(p.Pos, int32_t(list_->ParaLength(p.Para)) + 1)};
    };
    const TParaPos oldCaret{caretPara_, CaretPos()};
    if (untouched(oldCaret)) {
        caretLine_ = movedLine(oldCaret, caretLine_);
    } else {
        TParaPos caret = shift.Apply(oldCaret, paras);
        if (!scrollPastEnd_) caret = limited(caret);
        int32_t col = 0;
        caretLine_ = LineOf(caret, col);
        caretPara_ = caret.Para;
        caretCol_ = col;
        caretLineOffset_ = caret.Pos - col;
    }

    if (shift.Kind == TEditShift::ParaDeleted && selStart_.Para == shift.Para && selEnd_.Para == shift.Para) {
        selStart_ = selEnd_ = selCaretEnd_ = limited({caretPara_, CaretPos()});
    } else {
        for (TParaPos* p : {&selStart_, &selEnd_, &selCaretEnd_})
            if (!untouched(*p)) *p = limited(shift.Apply(*p, paras));
        // Deleting the last paragraph pulls its positions to the start of the one before,
        // which can put them ahead of the other end: keep the ends in order.
        if (ParaPosBefore(selEnd_, selStart_)) std::swap(selStart_, selEnd_);
    }
    // Both ends: a re-wrap before an end moves its line even when its position stays.
    selStartLine_ = untouched(selStart_) ? movedLine(selStart_, selStartLine_) : LineOf(selStart_, selStartCol_);
    selEndLine_ = untouched(selEnd_) ? movedLine(selEnd_, selEndLine_) : LineOf(selEnd_, selEndCol_);

    MarkScrollBarsDirty();
    InvalidateAll(false);
}
