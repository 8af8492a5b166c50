// The ring of views that share one text: attaching, leaving (the text goes with its last
// view), replacing the text by a fresh one, and resetting a view.
#include "editor/ZalEdit.h"
#include "platform/Cursors.h"

void TZalCustomEditor::ShowBusy(bool busy) {
    if (busy)
        PushScreenCursor(LoadCursor(IDC_WAIT));
    else
        PopScreenCursor();
}

TZalParaList* TZalCustomEditor::NewParaList(uint16_t undoSize) {
    auto* list = new TZalParaList(nullptr, false, undoSize);
    list->SetBusyIndicator(&TZalCustomEditor::ShowBusy);
    return list;
}

void TZalCustomEditor::LeaveRing() {
    if (!list_) return;
    if (nextView_ == this) {
        delete list_;
    } else {
        prevView_->nextView_ = nextView_;
        nextView_->prevView_ = prevView_;
        if (list_->Owner() == this) list_->SetOwner(nextView_);
    }
    list_ = nullptr;
    prevView_ = nextView_ = this;
}

void TZalCustomEditor::JoinRing(TZalCustomEditor* owner) {
    // Just before the owner, after its predecessor.
    list_ = owner->list_;
    prevView_ = owner->prevView_;
    nextView_ = owner;
    owner->prevView_->nextView_ = this;
    owner->prevView_ = this;
}

void TZalCustomEditor::Attach(TZalCustomEditor* editor) {
    if (!editor || editor == this) return;
    LeaveRing();
    auto* owner = dynamic_cast<TZalCustomEditor*>(editor->list_->Owner());
    JoinRing(owner ? owner : editor);
    // The old caret, selection and top named places of the old text.
    ResetViewState();
    ResetScrollBars(true);
}

void TZalCustomEditor::ResetViewState() {
    topLine_ = topPara_ = 1;
    topLineOffset_ = 0;
    caretLine_ = caretPara_ = caretCol_ = 1;
    caretLineOffset_ = 0;
    horzOffset_ = 0;
    selStart_ = selEnd_ = selCaretEnd_ = {1, 1};
    selStartLine_ = selStartCol_ = selEndLine_ = selEndCol_ = 1;
}

void TZalCustomEditor::Clear(bool reset) {
    const int32_t byteLimit = ByteLimit();
    const int32_t paraLimit = ParaLimit();
    const int32_t lengthLimit = ParaLengthLimit();
    const int32_t wrapColumn = WrapColumn();
    const int32_t tabSize = TabSize();
    const bool wordWrap = WordWrap();
    const uint16_t undoSize = UndoBufferSize();

    TZalParaList* list = NewParaList(undoSize);
    // Settings first, word wrap last: the one empty paragraph is wrapped once, and no view
    // is told while the list has no owner.
    list->SetByteLimit(byteLimit);
    list->SetParaLimit(paraLimit);
    list->SetParaLengthLimit(lengthLimit);
    list->SetWrapColumn(wrapColumn);
    list->SetTabSize(tabSize);
    list->SetWordWrap(wordWrap);
    LeaveRing();
    list_ = list;
    list_->SetOwner(this);

    ResetViewState();
    horzPosDirty_ = vertPosDirty_ = vertRangeDirty_ = false;
    invalidated_ = false;
    if (reset && HandleAllocated()) ResetScrollBars(true);
}

void TZalCustomEditor::ResetScrollBars(bool repaint) {
    if (!HandleAllocated()) return;
    UpdateVertRange();
    UpdateVertPos();
    UpdateHorzRange();
    UpdateHorzPos();
    UpdateMetrics();
    UpdateWrapColumn();
    InvalidateAll(repaint);
}
