// The command dispatcher (ProcessCommand), caret movement by character and by word, and
// the bookmarks.
#include <algorithm>

#include "components/ZalCmdCodes.h"
#include "components/ZalExcpt.h"
#include "editor/ZalEdit.h"

namespace {
// Commands after which OnChange is raised, whether or not the text changed.
bool RaisesChange(uint16_t command) {
    switch (command) {
    case ccBack: case ccCut: case ccDel: case ccDelBol: case ccDelEol: case ccDelLine:
    case ccDelWord: case ccPaste: case ccRedo: case ccTab: case ccUndo: case ccInsertChar:
        return true;
    default:
        return false;
    }
}

// The bookmark a command names: the digit key it was given, or -1.
int MarkerIndex(char key) {
    const int index = int(static_cast<unsigned char>(key)) - '0';
    return index >= 0 && index < kMarkerCount ? index : -1;
}
} // namespace

bool TZalCustomEditor::ProcessCommand(uint16_t command, char ch) {
    if (command >= ccUserBase) {
        DoOnUserCommand(command);
        return true;
    }
    const int32_t page = visibleRows_ > 1 ? visibleRows_ - 1 : 1;
    const int32_t lastOnPage = topLine_ + visibleRows_ - 1;
    switch (command) {
    case ccBack:
        if (ReadOnly())
            CaretLeft(false);
        else
            DeleteLeft();
        break;
    case ccBotOfPage:
        if (CaretLineOnPage())
            MoveCaretBy(0, lastOnPage - caretLine_, false, false);
        else
            SetTopLine(std::max(1, caretLine_ - visibleRows_ + 1)); // the caret stays
        break;
    case ccCopy: CopyToClipboard(); break;
    case ccCtrlChar: break;
    case ccCut: CutToClipboard(); break;
    case ccDel: DeleteSelectionOrChar(); break;
    case ccDelBol: DeleteToLineStart(); break;
    case ccDelEol: DeleteToLineEnd(); break;
    case ccDelLine: DeleteLine(); break;
    case ccDelWord: DeleteWord(); break;
    case ccDown: MoveCaretBy(0, 1, false, false); break;
    case ccEnd: MoveCaretTo(caretLine_, list_->LineLength(caretLine_) + 1, false); break;
    case ccExtendDown: MoveCaretBy(0, 1, true, false); break;
    case ccExtendEnd: MoveCaretTo(caretLine_, list_->LineLength(caretLine_) + 1, true); break;
    case ccExtendHome: MoveCaretTo(caretLine_, 1, true); break;
    case ccExtendLeft: CaretLeft(true); break;
    case ccExtendPgDn: MoveCaretBy(0, page, true, true); break;
    case ccExtendPgUp: MoveCaretBy(0, -page, true, true); break;
    case ccExtendRight: CaretRight(true); break;
    case ccExtendUp: MoveCaretBy(0, -1, true, false); break;
    case ccExtBotOfPage:
        if (CaretLineOnPage()) MoveCaretBy(0, lastOnPage - caretLine_, true, false);
        break;
    case ccExtFirstPage: MoveCaretTo(1, 1, true); break;
    case ccExtLastPage: MoveCaretTo(LineCount(), list_->LineLength(LineCount()) + 1, true); break;
    case ccExtTopOfPage:
        if (CaretLineOnPage()) MoveCaretBy(0, topLine_ - caretLine_, true, false);
        break;
    case ccExtWordLeft: WordLeft(true); break;
    case ccExtWordRight: WordRight(true); break;
    case ccFirstPage: MoveCaretTo(1, 1, false); break;
    case ccGotoMarker0: case ccGotoMarker1: case ccGotoMarker2: case ccGotoMarker3:
    case ccGotoMarker4: case ccGotoMarker5: case ccGotoMarker6: case ccGotoMarker7:
    case ccGotoMarker8: case ccGotoMarker9:
        if (const int index = MarkerIndex(ch); index >= 0) GotoMarker(index);
        break;
    case ccHome: MoveCaretTo(caretLine_, 1, false); break;
    case ccIns: SetInsertMode(!insertMode_); break;
    case ccLastPage: MoveCaretTo(LineCount(), list_->LineLength(LineCount()) + 1, false); break;
    case ccLeft: CaretLeft(false); break;
    case ccNewLine: NewLine(insertMode_ && !ReadOnly(), true); break;
    case ccNextPage: MoveCaretBy(0, page, false, true); break;
    case ccPaste: PasteFromClipboard(); break;
    case ccPrevPage: MoveCaretBy(0, -page, false, true); break;
    case ccRedo: Redo(); break;
    case ccRight: CaretRight(false); break;
    case ccScrollDown: Scroll(0, 1); break;
    case ccScrollUp: Scroll(0, -1); break;
    case ccSetMarker0: case ccSetMarker1: case ccSetMarker2: case ccSetMarker3:
    case ccSetMarker4: case ccSetMarker5: case ccSetMarker6: case ccSetMarker7:
    case ccSetMarker8: case ccSetMarker9:
        if (const int index = MarkerIndex(ch); index >= 0) SetMarker(index);
        break;
    case ccTab: InsertTab(); break;
    case ccTopOfPage:
        if (CaretLineOnPage())
            MoveCaretBy(0, topLine_ - caretLine_, false, false);
        else
            SetTopLine(caretLine_); // the caret stays
        break;
    case ccUndo: Undo(); break;
    case ccUp: MoveCaretBy(0, -1, false, false); break;
    case ccWordLeft: WordLeft(false); break;
    case ccWordRight: WordRight(false); break;
    case ccInsertChar:
        if (!ReadOnly()) InsertChar(ch);
        break;
    default:
        return false; // commands of other kinds of controls, and codes no command has
    }
    if (RaisesChange(command)) DoOnChange();
    return true;
}

// --- caret movement ------------------------------------------------------------------------

void TZalCustomEditor::CaretLeft(bool extend) {
    const int32_t pos = CaretPos();
    if (pos >= 2)
        MoveCaretToPara(caretPara_, pos - 1, extend);
    else if (caretLine_ > 1 && wrapAtLeft_)
        MoveCaretTo(caretLine_ - 1, list_->LineLength(caretLine_ - 1) + 1, extend);
}

void TZalCustomEditor::CaretRight(bool extend) {
    const int32_t pos = CaretPos();
    if (pos <= list_->ParaLength(caretPara_) || scrollPastEnd_)
        MoveCaretToPara(caretPara_, pos + 1, extend); // the column limit stops it
    else
        MoveCaretTo(caretLine_ + 1, 1, extend);
}

void TZalCustomEditor::WordLeft(bool extend) {
    const int32_t pos = CaretPos();
    if (pos < 2) {
        if (caretPara_ > 1) MoveCaretTo(caretLine_ - 1, list_->LineLength(caretLine_ - 1) + 1, extend);
        return;
    }
    const TParaNode* node = list_->FindPara(caretPara_);
    const char* text = node->GetText();
    int32_t c = std::min(pos, int32_t(node->Length()) + 1) - 1; // the character before the caret
    while (c > 0 && IsDelimiter(text[c - 1])) --c;
    while (c > 0 && !IsDelimiter(text[c - 1])) --c;
    MoveCaretToPara(caretPara_, c + 1, extend);
}

void TZalCustomEditor::WordRight(bool extend) {
    const TParaNode* node = list_->FindPara(caretPara_);
    const int32_t len = node->Length();
    int32_t p = CaretPos();
    if (p > len) {
        MoveCaretTo(caretLine_ + 1, 1, extend);
        return;
    }
    const char* text = node->GetText();
    while (p <= len && !IsDelimiter(text[p - 1])) ++p;
    while (p <= len && IsDelimiter(text[p - 1])) ++p;
    MoveCaretToPara(caretPara_, p, extend);
}

// --- bookmarks -----------------------------------------------------------------------------

void TZalCustomEditor::SetMarker(int index) {
    if (index < 0 || index >= kMarkerCount) return;
    list_->SetMarker(index, caretPara_, CaretPos());
    InvalidateAll(true);
}

void TZalCustomEditor::SetMarkerAt(int index, int32_t line, int32_t col) {
    if (index < 0 || index >= kMarkerCount) return;
    if (line < 1 || line > LineCount() || col < 1) throw EInvalidLineOrCol();
    list_->SetMarkerAtLine(index, line, col);
    InvalidateAll(true);
}

void TZalCustomEditor::ClearMarker(int index) {
    if (index < 0 || index >= kMarkerCount) return;
    list_->SetMarker(index, 0, 0);
    InvalidateAll(true);
}

void TZalCustomEditor::GotoMarker(int index) {
    const TParaPos marker = list_->Marker(index);
    if (marker.Para != 0 && marker.Pos != 0) MoveCaretToPara(marker.Para, marker.Pos, false);
}
