// Search and replace: finding a pattern paragraph by paragraph, forward or backward,
// whole words or not, and replacing the selected match or every match of a range.
#include <algorithm>

#include "editor/StringSearch.h"
#include "editor/ZalEdit.h"
#include "platform/Cursors.h"

namespace {

// A replacement ends at a zero byte, which no paragraph may hold.
std::string_view ReplacementPart(std::string_view r) {
    r = r.substr(0, kMaxPatternLength);
    return r.substr(0, std::min(r.find('\0'), r.size()));
}

} // namespace

class TZalCustomEditor::TSearchRun {
public:
    // count: the replacements already made (the selection that held the pattern).
    TSearchRun(TZalCustomEditor& editor, std::string_view s, std::string_view r,
               TSearchOptions options, int32_t count);
    // Searches, replaces and selects; the result of Replace.
    int32_t Run();

    // Replaces the selection, which lies in one paragraph and holds L characters, by R
    // as one undo group, leaving the caret after it. A limit refuses the whole edit.
    // (The editing commands' InsertText does this job once they are merged; until then
    // this keeps the replacement in one record.)
    static TEditError ReplaceSelection(TZalCustomEditor& editor, int len, std::string_view r);

private:
    bool Has(TSearchOptions o) const { return (options_ & o) != 0; }
    void Forward();
    void Backward();
    bool InRange(int32_t para, int q) const;
    // Whether the occurrence at Q of paragraph C (text of n characters) counts.
    bool Accepted(int32_t para, int q, const char* text, int n) const;
    // Replaces the occurrence at Q; false when the edit was refused.
    bool ReplaceAt(int32_t para, int q);
    void Select(int32_t para, int q, bool caretAtEnd);
    // After a replace-all: the range selected again or the selection collapsed.
    void Finish();

    TZalCustomEditor& ed_;
    TZalParaList& list_;
    TPatternFinder finder_;
    std::string_view r_;
    TSearchOptions options_;
    TParaPos start_, rangeStart_, rangeEnd_; // the range end is exclusive
    bool caretAtSelEnd_;
    int32_t count_;
    bool found_ = false;
    TEditError error_ = ecSuccess;
};

TZalCustomEditor::TSearchRun::TSearchRun(TZalCustomEditor& editor, std::string_view s,
                                         std::string_view r, TSearchOptions options, int32_t count)
    : ed_(editor), list_(*editor.list_), finder_(s, (options & soMatchCase) != 0), r_(r),
      options_(options), caretAtSelEnd_(editor.selCaretEnd_ == editor.selEnd_), count_(count) {
    const bool backward = Has(soBackward);
    const int32_t paras = list_.ParaCount();
    if (Has(soSelectedOnly)) {
        start_ = backward ? ed_.selEnd_ : ed_.selStart_;
        rangeStart_ = ed_.selStart_;
        rangeEnd_ = ed_.selEnd_;
        return;
    }
    if (!Has(soGlobal))
        start_ = {ed_.caretPara_, ed_.CaretPos()};
    else if (backward)
        start_ = {paras, list_.ParaLength(paras) + 1};
    else
        start_ = {1, 1};
    rangeStart_ = Has(soGlobal) || backward ? TParaPos{1, 1} : start_;
    rangeEnd_ = Has(soGlobal) || !backward ? TParaPos{paras + 1, 1} : start_;
}

int32_t TZalCustomEditor::TSearchRun::Run() {
    {
        TScreenCursorScope busy(LoadCursor(IDC_WAIT));
        if (Has(soBackward))
            Backward();
        else
            Forward();
    }
    if (Has(soReplaceAll) && count_ > 0) Finish();
    if (error_) {
        ed_.DoOnError(error_);
        return error_;
    }
    if (count_ > 0) return count_;
    return found_ ? 0 : -1;
}

bool TZalCustomEditor::TSearchRun::InRange(int32_t para, int q) const {
    const int last = q + finder_.Length() - 1;
    if (para > rangeStart_.Para && para < rangeEnd_.Para) return true;
    if (rangeStart_.Para == rangeEnd_.Para)
        return para == rangeStart_.Para && q >= rangeStart_.Pos && last < rangeEnd_.Pos;
    if (para == rangeStart_.Para) return q >= rangeStart_.Pos;
    if (para == rangeEnd_.Para) return last < rangeEnd_.Pos;
    return false;
}

bool TZalCustomEditor::TSearchRun::Accepted(int32_t para, int q, const char* text, int n) const {
    if (!InRange(para, q)) return false;
    if (!Has(soWholeWords)) return true;
    const int after = q + finder_.Length() - 1; // 0-based index of the byte after it
    return (q == 1 || ed_.IsDelimiter(text[q - 2])) && (after >= n || ed_.IsDelimiter(text[after]));
}

void TZalCustomEditor::TSearchRun::Forward() {
    const int len = finder_.Length();
    int32_t para = start_.Para;
    int p = start_.Pos;
    // The nodes are walked directly: a paragraph too short for the pattern costs a
    // length test.
    for (TParaNode* node = list_.FindPara(para); node && para <= rangeEnd_.Para && !error_;
         node = node->Next, ++para, p = 1) {
        for (;;) {
            const int n = node->Length();
            // A match must end before the range end: the end paragraph is searched only
            // up to it (a later match could only be refused).
            const int limit = para == rangeEnd_.Para ? std::min(n, rangeEnd_.Pos - 1) : n;
            if (limit - p + 1 < len) break;
            const char* text = node->GetText();
            const int k = finder_.Find(text + p - 1, limit - p + 1);
            if (k < 0) break;
            const int q = p + k;
            if (!Accepted(para, q, text, n)) {
                p = q + 1;
                continue;
            }
            if (!Has(soReplaceAll)) return Select(para, q, true);
            if (!ReplaceAt(para, q)) return;
            p = q + int(r_.size()); // never into the replacement
        }
    }
}

void TZalCustomEditor::TSearchRun::Backward() {
    const int len = finder_.Length();
    int32_t para = start_.Para;
    int p = start_.Pos - 1; // matches lie within the first p characters
    TParaNode* node = list_.FindPara(para);
    while (node && para >= rangeStart_.Para && !error_) {
        const int n = node->Length();
        const int k = n >= len && p >= len ? finder_.FindLast(node->GetText(), std::min(p, n)) : -1;
        if (k < 0) {
            node = node->Prev;
            --para;
            p = node ? node->Length() : 0;
            continue;
        }
        const int q = k + 1;
        if (!Accepted(para, q, node->GetText(), n)) {
            // Next, the last occurrence that starts before this one: an overlapping one
            // may be a whole word where this one is not.
            p = q + len - 2;
            continue;
        }
        if (!Has(soReplaceAll)) return Select(para, q, false);
        if (!ReplaceAt(para, q)) return;
        p = q - 1;
    }
}

bool TZalCustomEditor::TSearchRun::ReplaceAt(int32_t para, int q) {
    const int len = finder_.Length();
    const int len2 = int(r_.size());
    error_ = list_.ReplaceTextAt(&ed_, para, len2, r_.data(), len, q);
    if (error_) return false;
    ++count_;
    // The range's positions after the old match move with the text that follows it.
    for (TParaPos* pos : {&rangeStart_, &rangeEnd_})
        if (pos->Para == para && pos->Pos >= q + len) pos->Pos += len2 - len;
    return true;
}

void TZalCustomEditor::TSearchRun::Select(int32_t para, int q, bool caretAtEnd) {
    found_ = true;
    ed_.SelectParaRange(para, q, para, q + finder_.Length(), caretAtEnd);
}

void TZalCustomEditor::TSearchRun::Finish() {
    // The view that replaced kept its caret and selection where they were; their lines
    // may have moved (word wrap), so both are placed again from Para/Pos.
    if (Has(soSelectedOnly))
        ed_.SelectParaRange(rangeStart_.Para, rangeStart_.Pos, rangeEnd_.Para, rangeEnd_.Pos, caretAtSelEnd_);
    else
        ed_.MoveCaretToPara(ed_.caretPara_, ed_.CaretPos(), false);
    ed_.UpdateVertRange();
    ed_.InvalidateAll(true);
}

TEditError TZalCustomEditor::TSearchRun::ReplaceSelection(TZalCustomEditor& editor, int len,
                                                          std::string_view r) {
    TZalParaList& list = *editor.list_;
    const TParaPos at = editor.selStart_;
    bool saved = false;
    list.UndoBuffer().BeginGroup(saved);
    const TEditError err = list.ReplaceTextAt(&editor, at.Para, int(r.size()), r.data(), len, at.Pos);
    list.UndoBuffer().EndGroup(saved);
    if (err) return err;
    editor.InvalidateLines(list.RepaintFrom(), list.RepaintTo());
    if (list.RepaintTo() == kRepaintToEnd) editor.UpdateVertRange();
    editor.MoveCaretToPara(at.Para, at.Pos + int(r.size()), false);
    if (editor.HandleAllocated()) UpdateWindow(editor.Handle());
    return ecSuccess;
}

// --- the public operations -------------------------------------------------------------------

bool TZalCustomEditor::Search(std::string_view s, TSearchOptions options) {
    s = s.substr(0, kMaxPatternLength);
    if (s.empty()) return true;
    return TSearchRun(*this, s, {}, options & ~(soReplace | soReplaceAll), 0).Run() == 0;
}

int32_t TZalCustomEditor::Replace(std::string_view s, std::string_view r, TSearchOptions options) {
    s = s.substr(0, kMaxPatternLength);
    if (s.empty()) return 0;
    if ((options & (soReplace | soReplaceAll)) && r.data() == nullptr) return 0;
    r = ReplacementPart(r);
    // A read-only text is searched, never changed.
    if (GetReadOnly()) options &= TSearchOptions(~(soReplace | soReplaceAll));
    int32_t count = 0;
    if ((options & (soReplace | soReplaceAll)) && SelectionMatches(s, (options & soMatchCase) != 0)) {
        if (TEditError err = TSearchRun::ReplaceSelection(*this, int(s.size()), r)) {
            DoOnError(err);
            return err;
        }
        count = 1;
    }
    return TSearchRun(*this, s, r, options, count).Run();
}

bool TZalCustomEditor::SelectionMatches(std::string_view s, bool matchCase) {
    if (!SelectionExists() || selStart_.Para != selEnd_.Para || s.empty()) return false;
    if (selEnd_.Pos - selStart_.Pos != int32_t(s.size())) return false;
    const char* text = list_->FindPara(selStart_.Para)->GetText() + selStart_.Pos - 1;
    if (matchCase) return s == std::string_view(text, s.size());
    const TCaseTable& up = UpperCaseTable();
    return std::equal(s.begin(), s.end(), text,
                      [&](char a, char b) { return up[uint8_t(a)] == up[uint8_t(b)]; });
}
