// The selection: collapsing it at the caret, extending it to the caret, and selecting,
// reading and dropping it by Line/Col or Para/Pos.
#include <algorithm>
#include <utility>

#include "editor/ZalEdit.h"

void TZalCustomEditor::CollapseSelection(bool redraw) {
    const bool existed = SelectionExists();
    const int32_t oldFirst = selStartLine_;
    const int32_t oldLast = selEndLine_;
    // A caret beyond the end of its paragraph selects from the end.
    const int32_t pos = std::min(CaretPos(), int32_t(list_->ParaLength(caretPara_)) + 1);
    selStart_ = selEnd_ = selCaretEnd_ = {caretPara_, pos};
    selStartLine_ = selEndLine_ = caretLine_;
    selStartCol_ = selEndCol_ = pos - caretLineOffset_;
    if (redraw && existed) InvalidateLines(oldFirst, oldLast);
}

void TZalCustomEditor::ExtendSelection(bool redraw) {
    const int32_t pos = std::min(CaretPos(), int32_t(list_->ParaLength(caretPara_)) + 1);
    const TParaPos caret{caretPara_, pos};
    const TParaPos oldStart = selStart_, oldEnd = selEnd_;
    const int32_t oldStartLine = selStartLine_, oldEndLine = selEndLine_;
    if (selCaretEnd_ == selStart_) {
        selStart_ = caret;
        selStartLine_ = caretLine_;
        selStartCol_ = pos - caretLineOffset_;
    } else {
        selEnd_ = caret;
        selEndLine_ = caretLine_;
        selEndCol_ = pos - caretLineOffset_;
    }
    if (ParaPosBefore(selEnd_, selStart_)) {
        std::swap(selStart_, selEnd_);
        std::swap(selStartLine_, selEndLine_);
        std::swap(selStartCol_, selEndCol_);
    }
    selCaretEnd_ = caret;
    if (!redraw) return;
    int32_t first = caretLine_, last = caretLine_;
    auto include = [&](int32_t line) {
        first = std::min(first, line);
        last = std::max(last, line);
    };
    if (!(selStart_ == oldStart)) {
        include(oldStartLine);
        include(selStartLine_);
    }
    if (!(selEnd_ == oldEnd)) {
        include(oldEndLine);
        include(selEndLine_);
    }
    InvalidateLines(first, last);
}

void TZalCustomEditor::SetSelection(int32_t line1, int32_t col1, int32_t line2, int32_t col2,
                                    bool caretAtEnd) {
    if (TextLength() <= 0) return;
    const int32_t lines = LineCount();
    line1 = std::clamp(line1, int32_t(1), lines);
    line2 = std::clamp(line2, int32_t(1), lines);
    col1 = std::clamp(col1, int32_t(1), int32_t(list_->LineLength(line1)) + 1);
    col2 = std::clamp(col2, int32_t(1), int32_t(list_->LineLength(line2)) + 1);
    if (!caretAtEnd) {
        std::swap(line1, line2);
        std::swap(col1, col2);
    }
    MoveCaretTo(line1, col1, false);
    MoveCaretTo(line2, col2, true);
}

void TZalCustomEditor::SelectParaRange(int32_t para1, int32_t pos1, int32_t para2, int32_t pos2,
                                       bool caretAtEnd) {
    int32_t col1 = 0, col2 = 0;
    const int32_t line1 = LineOf({para1, pos1}, col1);
    const int32_t line2 = LineOf({para2, pos2}, col2);
    SetSelection(line1, col1, line2, col2, caretAtEnd);
}

bool TZalCustomEditor::GetSelection(int32_t& line1, int32_t& col1, int32_t& line2, int32_t& col2) {
    if (!SelectionExists()) return false;
    line1 = LineOf(selStart_, col1);
    line2 = LineOf(selEnd_, col2);
    return true;
}

void TZalCustomEditor::DeselectAll(bool caretAtEnd) {
    if (!SelectionExists()) return;
    const int32_t line = caretAtEnd ? selEndLine_ : selStartLine_;
    const int32_t col = caretAtEnd ? selEndCol_ : selStartCol_;
    SetSelection(line, col, line, col, true);
}
