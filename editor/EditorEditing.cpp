// The edits of the editing commands: deleting (selection, character, line parts, lines,
// words), typing in insert and overwrite mode, Enter with auto-indent, the three kinds of
// tab, and inserting text with line breaks.
#include <algorithm>
#include <new>
#include <optional>
#include <string>

#include "editor/UndoGroupScope.h"
#include "editor/ZalEdit.h"
#include "platform/Window.h"

namespace {
// Texts of more than this many bytes go to the text store in several pieces.
constexpr size_t kInsertChunk = 61440;

// The length of the next piece of s to hand over: at most kInsertChunk bytes, ending just
// after a line feed so that no line break (CR LF, or a lone CR that is ordinary text
// inside a line) is read differently for being cut. A line longer than a chunk is given
// whole.
size_t ChunkLength(std::string_view s) {
    if (s.size() <= kInsertChunk) return s.size();
    const size_t lastBreak = s.substr(0, kInsertChunk).rfind('\n');
    if (lastBreak != std::string_view::npos) return lastBreak + 1;
    const size_t nextBreak = s.find('\n', kInsertChunk);
    return nextBreak == std::string_view::npos ? s.size() : nextBreak + 1;
}
} // namespace

void TZalCustomEditor::InvalidateRepaintRange() {
    if (list_->RepaintTo() == kRepaintToEnd) UpdateVertRange();
    InvalidateLines(list_->RepaintFrom(), list_->RepaintTo());
}

void TZalCustomEditor::UpdateNow() {
    if (HandleAllocated()) UpdateWindow(Handle());
}

// --- deletion ------------------------------------------------------------------------------

TEditError TZalCustomEditor::RemoveSelection() {
    const TParaPos start = selStart_, end = selEnd_;
    if (start.Para == end.Para) {
        list_->DeleteTextAt(this, start.Para, end.Pos - start.Pos, start.Pos);
        InvalidateRepaintRange();
    } else {
        if (TEditError err = list_->DeleteRange(this, start.Para, start.Pos, end.Para, end.Pos)) return err;
        UpdateVertRange();
        InvalidateAll(false);
    }
    MoveCaretToPara(start.Para, start.Pos, false);
    return ecSuccess;
}

void TZalCustomEditor::DeleteSelectionOrChar() {
    if (ReadOnly()) return;
    if (SelectionExists()) {
        if (TEditError err = RemoveSelection()) {
            DoOnError(err);
            return;
        }
    } else {
        const int32_t para = caretPara_, pos = CaretPos();
        if (pos > list_->ParaLength(para)) {
            if (TEditError err = list_->JoinParas(this, para, pos)) {
                DoOnError(err);
                return;
            }
            UpdateVertRange();
            InvalidateAll(false);
        } else {
            list_->DeleteTextAt(this, para, 1, pos);
            InvalidateRepaintRange();
        }
        // The caret keeps its place in the text; its line may have been re-wrapped.
        MoveCaretToPara(para, pos, false);
    }
    if (!list_->UndoBuffer().InGroup()) UpdateNow();
}

void TZalCustomEditor::DeleteLeft() {
    if (ReadOnly()) return;
    if (SelectionExists()) {
        DeleteSelectionOrChar();
        return;
    }
    if (caretLine_ == 1 && caretCol_ == 1) return;
    const TParaPos before{caretPara_, CaretPos()};
    CaretLeft(false);
    // Backspace deletes only what lies before the caret: nothing when the caret could not
    // move (a paragraph start without WrapAtLeft), and nothing while it is still beyond
    // the end of its paragraph, where Delete would join the next paragraph.
    if (caretPara_ == before.Para && (CaretPos() == before.Pos || CaretPos() > list_->ParaLength(caretPara_)))
        return;
    DeleteSelectionOrChar();
}

void TZalCustomEditor::DeleteToLineStart() {
    if (ReadOnly()) return;
    if (list_->LineLength(caretLine_) == 0 || caretCol_ == 1) {
        CollapseSelection(true);
        return;
    }
    SetSelection(caretLine_, 1, caretLine_, caretCol_, true);
    DeleteSelectionOrChar();
}

void TZalCustomEditor::DeleteToLineEnd() {
    if (ReadOnly()) return;
    const int32_t len = list_->LineLength(caretLine_);
    if (len == 0 || caretCol_ > len) {
        CollapseSelection(true);
        return;
    }
    SetSelection(caretLine_, caretCol_, caretLine_, len + 1, true);
    DeleteSelectionOrChar();
}

void TZalCustomEditor::DeleteLine() {
    if (ReadOnly()) return;
    if (caretLine_ == LineCount()) {
        const int32_t len = list_->LineLength(caretLine_);
        if (len == 0) return;
        SetSelection(caretLine_, 1, caretLine_, len + 1, true); // the empty line stays
    } else {
        SetSelection(caretLine_, 1, caretLine_ + 1, 1, true);
    }
    TEditError err;
    {
        TUndoGroupScope group(list_->UndoBuffer());
        err = RemoveSelection();
    }
    UpdateNow();
    DoOnError(err);
}

void TZalCustomEditor::DeleteWord() {
    if (ReadOnly()) return;
    if (!SelectionExists()) {
        const TParaNode* node = list_->FindPara(caretPara_);
        const char* text = node->GetText();
        const int32_t len = node->Length(), pos = CaretPos();
        int32_t p = pos;
        while (p <= len && !IsDelimiter(text[p - 1])) ++p;
        while (p <= len && IsBlank(text[p - 1])) ++p;
        // Nothing stepped over (a delimiter that is not blank, or the paragraph's end):
        // the one character goes, or the next paragraph joins.
        if (p > pos) SelectParaRange(caretPara_, pos, caretPara_, p, true);
    }
    DeleteSelectionOrChar();
}

// --- typing --------------------------------------------------------------------------------

void TZalCustomEditor::InsertChar(char ch) {
    // No paragraph holds a zero byte: there is nothing to insert.
    if (ReadOnly() || ch == '\0') return;
    const bool replacing = SelectionExists();
    TEditError err = ecSuccess;
    int32_t para = 0, pos = 0, lineBefore = 0;
    {
        std::optional<TUndoGroupScope> group;
        if (replacing) {
            group.emplace(list_->UndoBuffer());
            // The character must fit in place of the selection before the selection goes.
            err = CheckInsertFits(std::string_view(&ch, 1));
            if (!err) err = RemoveSelection();
        }
        if (!err) {
            para = caretPara_;
            pos = CaretPos();
            lineBefore = caretLine_;
            if (insertMode_ || replacing || pos > list_->ParaLength(para))
                err = list_->InsertTextAt(this, para, 1, &ch, pos);
            else
                err = list_->ReplaceTextAt(this, para, 1, &ch, 1, pos);
        }
    }
    if (err) {
        DoOnError(err);
        return;
    }
    InvalidateRepaintRange();
    MoveCaretToPara(para, pos + 1, false);
    // Typing on into the next wrapped line shows that line from its start.
    if (caretLine_ > lineBefore && horzOffset_ != 0) Scroll(-horzOffset_, 0);
    UpdateNow();
}

void TZalCustomEditor::NewLine(bool insert, bool moveCaret) {
    bool changed = false;
    TEditError err = ecSuccess;
    if (SelectionExists() && !ReadOnly()) {
        TUndoGroupScope group(list_->UndoBuffer()); // an undo step of its own
        err = RemoveSelection();
        changed = !err;
    }
    const int32_t para = caretPara_, pos = CaretPos();
    int indent = 0;
    if (!err && insert) {
        if (autoIndent_) {
            // The blanks that start the caret's line, as far as they lie before the caret.
            const char* text;
            int len;
            list_->GetLineText(caretLine_, text, len);
            int blanks = 0;
            while (blanks < std::min(len, caretCol_ - 1) && IsBlank(text[blanks])) ++blanks;
            indent = blanks > 0 ? TextWidth(text, blanks, TabSize()) : 0;
        }
        err = list_->CheckLimits(0, 1, indent + 2);
        // Real tabs indent with tabs and spaces, the other kinds with spaces only.
        if (!err) err = list_->SplitPara(this, para, pos, true, indent, tabType_ == ttReal ? TabSize() : 0);
        if (!err) {
            changed = true;
            UpdateVertRange();
            InvalidateAll(false);
        }
    }
    if (err) {
        if (changed) DoOnChange();
        DoOnError(err);
        return;
    }
    if (!moveCaret)
        MoveCaretToPara(para, std::min(pos, list_->ParaLength(para) + 1), false);
    else if (insert || para < ParaCount())
        MoveCaretToPara(para + 1, indent + 1, false);
    else
        MoveCaretTo(LineCount(), list_->LineLength(LineCount()) + 1, false);
    UpdateNow();
    if (changed) DoOnChange();
}

// --- tabs and runs of spaces ---------------------------------------------------------------

int32_t TZalCustomEditor::SmartTabStop(int32_t line) {
    const int32_t width = list_->LineWidth(line);
    if (width == 0) return 0;
    if (width < caretCol_) return caretCol_;
    std::string expanded(size_t(width) + 1, '\0');
    GetPrintableLine(line, expanded.data(), width);
    // From the caret's column: over the rest of a word, then over the spaces after it.
    int32_t c = caretCol_;
    while (c <= width && expanded[size_t(c) - 1] != ' ') ++c;
    while (c <= width && expanded[size_t(c) - 1] == ' ') ++c;
    return c;
}

void TZalCustomEditor::InsertTab() {
    if (ReadOnly()) return;
    if (tabType_ == ttReal) {
        InsertChar('\t'); // types over a selection like any character
        return;
    }
    TEditError err = ecSuccess;
    {
        TUndoGroupScope group(list_->UndoBuffer());
        if (SelectionExists()) err = RemoveSelection();
        if (!err) {
            const int32_t tab = TabSize();
            int32_t n = tab * ((caretCol_ - 1) / tab + 1) - caretCol_ + 1;
            if (tabType_ == ttSmart && caretPara_ > 1) {
                int32_t stop = SmartTabStop(caretLine_ - 1);
                if (stop == 0 && caretLine_ < LineCount()) stop = SmartTabStop(caretLine_ + 1);
                if (stop > caretCol_) n = stop - caretCol_;
            }
            err = InsertSpaces(n);
        }
    }
    UpdateNow();
    DoOnError(err);
}

TEditError TZalCustomEditor::InsertSpaces(int32_t n) {
    const int32_t para = caretPara_, pos = CaretPos();
    const int32_t overwritten = insertMode_ ? 0 : std::clamp(list_->ParaLength(para) - pos + 1, 0, n);
    // Asked before the overwritten characters go, so that a refused run changes nothing.
    TEditError err = list_->CheckLimits(para, 0, n - overwritten);
    if (!err) {
        if (overwritten > 0) {
            list_->DeleteTextAt(this, para, overwritten, pos);
            InvalidateRepaintRange();
        }
        const std::string run(size_t(n), ' ');
        err = list_->InsertTextAt(this, para, n, run.data(), pos);
    }
    if (err) return err;
    InvalidateRepaintRange();
    MoveCaretToPara(para, pos + n, false);
    return ecSuccess;
}

// --- text with line breaks -----------------------------------------------------------------

TEditError TZalCustomEditor::InsertText(std::string_view s) {
    if (ReadOnly()) return ecSuccess;
    // A zero byte ends the text, as it ends a text on the clipboard.
    s = s.substr(0, s.find('\0'));
    TUndoGroupScope group(list_->UndoBuffer());
    if (TEditError err = CheckInsertFits(s)) return err;
    if (SelectionExists())
        if (TEditError err = RemoveSelection()) return err;
    return InsertBlockAtCaret(s);
}

TEditError TZalCustomEditor::InsertBlockAtCaret(std::string_view s) {
    if (s.empty()) return ecSuccess;
    int32_t para = caretPara_;
    int pos = CaretPos();
    // Every chunk's lines are repainted, not only the last one's.
    int32_t repaintFrom = kRepaintToEnd, repaintTo = 1;
    TEditError err = ecSuccess;
    try {
        while (!s.empty() && !err) {
            const size_t n = ChunkLength(s);
            err = list_->InsertBlock(this, para, s.substr(0, n), pos);
            repaintFrom = std::min(repaintFrom, list_->RepaintFrom());
            repaintTo = std::max(repaintTo, list_->RepaintTo());
            s.remove_prefix(n);
        }
    } catch (const std::bad_alloc&) {
        // Memory ran out for a new paragraph: what went in stays, and the caret follows it.
        err = ecOutOfMemory;
        repaintFrom = 1, repaintTo = kRepaintToEnd;
        para = std::min(para, ParaCount());
    }
    UpdateVertRange();
    InvalidateLines(repaintFrom, repaintTo);
    MoveCaretToPara(para, pos, false);
    UpdateNow();
    return err;
}
