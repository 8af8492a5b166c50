// Copying the selection to the clipboard as text, cutting it, and pasting text.
#include <new>
#include <string>

#include "editor/ZalEdit.h"
#include "platform/Clipboard.h"

std::string TZalCustomEditor::SelectionText() {
    std::string text;
    for (int32_t para = selStart_.Para; para <= selEnd_.Para; ++para) {
        const TParaNode* node = list_->FindPara(para);
        const int32_t len = node->Length();
        const int32_t from = para == selStart_.Para ? std::min(selStart_.Pos - 1, len) : 0;
        const int32_t to = para == selEnd_.Para ? std::min(selEnd_.Pos - 1, len) : len;
        if (para > selStart_.Para) text += "\r\n";
        if (to > from) text.append(node->GetText() + from, size_t(to - from));
    }
    return text;
}

bool TZalCustomEditor::CopySelection() {
    std::string text;
    try {
        text = SelectionText();
    } catch (const std::bad_alloc&) {
        DoOnError(ecOutOfMemory); // the clipboard keeps what it had
        return false;
    }
    // Control characters below the tab would upset other programs; the tab itself stays.
    for (char& ch : text)
        if (ch >= 1 && ch <= 8) ch = ' ';
    if (!OpenClipboard(HandleAllocated() ? Handle() : nullptr)) return false;
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    return placed;
}

void TZalCustomEditor::CopyToClipboard() {
    if (SelectionExists()) CopySelection();
}

void TZalCustomEditor::CutToClipboard() {
    // What did not reach the clipboard is not deleted.
    if (SelectionExists() && !ReadOnly() && CopySelection()) DeleteSelectionOrChar();
    UpdateVertRange();
    Scroll(0, 0);
}

void TZalCustomEditor::PasteFromClipboard() {
    if (ReadOnly()) return;
    std::string text;
    bool present = false;
    if (OpenClipboard(HandleAllocated() ? Handle() : nullptr)) {
        present = GetClipboardData(CF_TEXT, text);
        CloseClipboard();
    }
    const TEditError err = present ? InsertText(text) : ecSuccess;
    UpdateVertRange();
    Scroll(0, 0);
    DoOnError(err);
}
