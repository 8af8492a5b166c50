// Undo and redo of the text's history, and where they leave the caret.
#include <algorithm>

#include "editor/ZalEdit.h"
#include "platform/Beep.h"

void TZalCustomEditor::PlaceAfterReplay(int32_t para, int32_t pos, bool scrollFirst) {
    para = std::clamp(para, int32_t(1), ParaCount());
    pos = std::max(pos, int32_t(1));
    if (!scrollPastEnd_) pos = std::min(pos, int32_t(list_->ParaLength(para)) + 1);
    int32_t col = 0;
    caretLine_ = LineOf({para, pos}, col);
    caretPara_ = para;
    caretCol_ = col;
    caretLineOffset_ = pos - col;
    // The bar follows the text after a redo too: a redo adds or removes lines as well.
    UpdateVertRange();
    if (scrollFirst) Scroll(0, 0);
    CollapseSelection(false);
    InvalidateAll(false);
    const int32_t visual = CaretVisualColumn();
    const bool inColumns = visual > horzOffset_ && visual <= int64_t(horzOffset_) + visibleCols_;
    if (!CaretLineOnPage() || !inColumns) MoveCaretTo(caretLine_, caretCol_, false);
}

void TZalCustomEditor::Undo() {
    Replay(false);
}

void TZalCustomEditor::Redo() {
    Replay(true);
}

void TZalCustomEditor::Replay(bool redo) {
    if (!(redo ? CanRedo() : CanUndo())) {
        MessageBeep();
        return;
    }
    int32_t para = 1;
    int pos = 1;
    if (redo)
        list_->RedoGroup(this, para, pos);
    else
        list_->UndoGroup(this, para, pos);
    PlaceAfterReplay(para, pos, !redo);
}
