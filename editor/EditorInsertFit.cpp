// Whether a text fits in place of the selection: the limits of the text store checked for
// a whole block insertion before any of it is made.
#include <algorithm>

#include "editor/ZalEdit.h"

// The text store checks the limits step by step as a block goes in, and a refused step
// would leave a paste half made. This walks the same steps on counts alone (the store's
// own block insertion: a line break at the cursor's start makes a new paragraph before
// it, any other splits the paragraph, trimming the blanks that end the part staying
// behind a moved tail) and returns the first error a step would meet.
TEditError TZalCustomEditor::CheckInsertFits(std::string_view s) {
    TZalParaList& list = *list_;
    const bool selection = SelectionExists();
    const TParaPos at = selection ? selStart_ : TParaPos{caretPara_, CaretPos()};
    const TParaPos end = selection ? selEnd_ : at;
    const TParaNode* atNode = list.FindPara(at.Para);
    const int64_t atLen = atNode->Length();
    const int64_t head = std::min<int64_t>(at.Pos - 1, atLen); // characters before the cursor
    const int64_t headBlanks = atNode->TrailingBlanks(int(head));
    int64_t pad = std::max<int64_t>(0, at.Pos - 1 - atLen); // spaces up to a cursor beyond the end
    const int64_t endLen = list.ParaLength(end.Para);
    const int64_t tail = endLen - std::min<int64_t>(end.Pos - 1, endLen); // characters after it

    const int64_t lengthLimit = list.ParaLengthLimit();
    // Deleting a selection over several paragraphs joins what is left of its ends first.
    if (end.Para != at.Para && head > 0 && tail > 0 && head + tail > lengthLimit) return ecJoinTooLong;

    // The text once the selection is gone.
    int64_t removed = (endLen - tail) - head;
    if (end.Para != at.Para) {
        removed = atLen - head + (endLen - tail) + 2 * int64_t(end.Para - at.Para);
        for (int32_t p = at.Para + 1; p < end.Para; ++p) removed += list.ParaLength(p);
    }
    int64_t paras = int64_t(list.ParaCount()) - (end.Para - at.Para);
    int64_t bytes = int64_t(list.ByteCount()) - removed;
    int64_t para = at.Para;  // the cursor's paragraph, which keeps the tail
    int64_t before = head;   // characters before the cursor in it
    const bool cursorIsLast = end.Para == list.ParaCount();
    const bool otherLastEmpty = !cursorIsLast && list.ParaLength(list.ParaCount()) == 0;
    const int64_t paraLimit = list.ParaLimit(), byteLimit = list.ByteLimit();

    // One paragraph and add bytes more. An empty last paragraph is not counted against
    // a paragraph limit.
    auto newPara = [&](int64_t add) -> TEditError {
        const bool lastEmpty = cursorIsLast ? before + tail == 0 : otherLastEmpty;
        if (paras + 1 > paraLimit + (paraLimit != kNoLimit && lastEmpty ? 1 : 0)) return ecParaLimit;
        return bytes + add > byteLimit ? ecTextSizeLimit : ecSuccess;
    };
    // Add characters more in the cursor's paragraph.
    auto moreText = [&](int64_t add) -> TEditError {
        if (para > paraLimit) return ecParaLimit;
        if (bytes + add > byteLimit) return ecTextSizeLimit;
        return before + tail + add > lengthLimit ? ecParaLengthLimit : ecSuccess;
    };

    size_t i = 0;
    while (i < s.size()) {
        // A segment runs up to and including a line feed; the CRs and LFs that end it are
        // its paragraph end.
        const size_t lf = s.find('\n', i);
        const size_t segEnd = lf == std::string_view::npos ? s.size() : lf + 1;
        size_t contentEnd = segEnd;
        while (contentEnd > i && (s[contentEnd - 1] == '\n' || s[contentEnd - 1] == '\r')) --contentEnd;
        const int64_t content = int64_t(contentEnd - i);
        const bool endsPara = contentEnd < segEnd;
        if (endsPara && before == 0 && pad == 0) {
            if (TEditError err = newPara(content + 2)) return err;
            if (content > lengthLimit) return ecParaLengthLimit;
            ++paras, ++para;
            bytes += content + 2;
        } else {
            int64_t trimmed = headBlanks; // blanks that end the part staying behind a split
            if (content > 0) {
                if (TEditError err = moreText(content + pad)) return err;
                int64_t blanks = 0;
                while (blanks < content && IsBlank(s[contentEnd - 1 - size_t(blanks)])) ++blanks;
                trimmed = blanks < content ? blanks : blanks + pad + headBlanks;
                bytes += content + pad;
                before += content + pad;
                pad = 0;
            }
            if (endsPara) {
                // Only the first segment can split: every later one starts a paragraph.
                if (TEditError err = newPara(2)) return err;
                ++paras, ++para;
                bytes += 2 - (before > 0 && tail > 0 ? trimmed : 0); // no tail, no trim
            }
        }
        if (endsPara) before = pad = 0;
        i = segEnd;
    }
    return ecSuccess;
}
