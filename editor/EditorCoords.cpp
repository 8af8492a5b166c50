// The editor's queries and coordinate services: counts, paragraph access, printable
// lines, Para/Pos to Line/Col, caret and top-line placement by number, the modified
// flag, and appending paragraphs while loading.
#include <algorithm>
#include <cstring>
#include <string>

#include "components/ZalExcpt.h"
#include "editor/TextFileLoader.h"
#include "editor/ZalEdit.h"

int32_t TZalCustomEditor::VisibleColumns() {
    HandleNeeded();
    return visibleCols_;
}

void TZalCustomEditor::SetModified(bool on) {
    if (on == list_->Modified()) return;
    list_->SetModified(on);
    TZalCustomEditor* view = this;
    do {
        view->InvalidateAll(false);
        view = view->nextView_;
    } while (view != this);
    // Undoing past this point changes the text away from what was saved.
    if (!on) list_->UndoBuffer().MarkAllModified();
}

bool TZalCustomEditor::CanUndo() const {
    return !GetReadOnly() && list_->UndoBuffer().CanUndo();
}

bool TZalCustomEditor::CanRedo() const {
    return !GetReadOnly() && list_->UndoBuffer().CanRedo();
}

const char* TZalCustomEditor::GetParaPointer(int32_t para, int32_t& len) {
    if (para < 1 || para > ParaCount()) throw EInvalidLineOrPara();
    const TParaNode* node = list_->FindPara(para);
    len = node ? node->Length() : 0;
    return node ? node->GetText() : "";
}

std::string TZalCustomEditor::GetPara(int32_t para) {
    int32_t len = 0;
    const char* text = GetParaPointer(para, len);
    return std::string(text, size_t(len));
}

void TZalCustomEditor::GetPrintableLine(int32_t line, char* dest, int32_t destLen) {
    if (line < 1 || line > LineCount()) throw EInvalidLineOrPara();
    if (!dest) return;
    destLen = std::max(destLen, 0);
    const char* text;
    int len;
    list_->GetLineText(line, text, len);
    const int tab = std::max(1, TabSize());
    int32_t out = 0;
    for (int i = 0; i < len && out < destLen; ++i) {
        if (text[i] != '\t') {
            dest[out++] = text[i];
            continue;
        }
        const int32_t stop = (out / tab + 1) * tab;
        while (out < stop && out < destLen) dest[out++] = ' ';
    }
    dest[out] = '\0';
}

void TZalCustomEditor::ParaToLine(int32_t& para, int32_t& pos) {
    if (para < 1 || para > ParaCount()) throw EInvalidLineOrPara();
    int col = 0;
    para = list_->ParaPosToLine(para, pos, col);
    pos = col;
}

void TZalCustomEditor::SetCaretPosition(int32_t line, int32_t col) {
    if (line < 1 || line > LineCount() || col < 1) throw EInvalidLineOrPara();
    MoveCaretTo(line, col, false);
}

void TZalCustomEditor::SetTopLine(int32_t line) {
    if (line < 1 || line > LineCount()) throw EInvalidLineOrPara();
    Scroll(0, line - topLine_);
}

TEditError TZalCustomEditor::AppendPara(std::string_view s) {
    const int32_t oldLines = LineCount();
    // A zero byte would end the paragraph's text and lose the rest: it reads as a space.
    std::string cleaned;
    if (!s.empty() && std::memchr(s.data(), 0, s.size())) {
        cleaned.assign(s);
        std::replace(cleaned.begin(), cleaned.end(), '\0', ' ');
        s = cleaned;
    }
    // The one splitting rule, shared with the file loader.
    const TEditError err = AppendLoadedLine(*list_, s, trimWhiteSpace_);
    if (oldLines <= visibleRows_ && LineCount() > visibleRows_) {
        UpdateVertRange();
        InvalidateAll(true);
    }
    return err;
}
