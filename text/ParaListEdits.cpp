// Edits that span paragraph boundaries, and the replay of the undo history.
#include <algorithm>
#include <cstring>
#include <string>

#include "text/ParaList.h"
#include "text/TextHelpers.h"

// One undo group for the lifetime of the object, closed also on an early return or an
// exception.
class TZalParaList::TGroupScope {
public:
    explicit TGroupScope(TZalParaList& list) : list_(list) { list_.undo_->BeginGroup(saved_); }
    ~TGroupScope() { list_.undo_->EndGroup(saved_); }
    TGroupScope(const TGroupScope&) = delete;
    TGroupScope& operator=(const TGroupScope&) = delete;

private:
    TZalParaList& list_;
    bool saved_ = false;
};

// Sets a flag for the lifetime of the object and puts the old value back afterwards.
class TZalParaList::TFlagScope {
public:
    TFlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
    ~TFlagScope() { flag_ = old_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

// --- split and join ----------------------------------------------------------------

TEditError TZalParaList::SplitPara(TParaListView* editor, int32_t para, int pos, bool trim,
                                   int& indent, int indentTabSize) {
    TParaNode* node = FindPara(para);
    if (!node) return ecSuccess;
    const int len = node->Length();
    pos = std::clamp(pos, 1, len + 1);
    if (pos == 1) return InsertParaBefore(editor, para, 0, "");

    TGroupScope group(*this);
    RecordPosition(para, pos);
    {
        TFlagScope quiet(notifyViews_, false);
        if (TEditError err = InsertParaAfter(editor, para, len - pos + 1, node->GetText() + pos - 1))
            return err;
        if (pos <= len) {
            const int blanks = trim ? node->TrailingBlanks(pos - 1) : 0;
            DeleteTextAt(editor, para, len - (pos - blanks) + 1, pos - blanks);
        }
        if (indent > 0) {
            int tabs = 0, spaces = indent;
            if (indentTabSize > 0) {
                tabs = indent / indentTabSize;
                spaces = indent % indentTabSize;
            }
            indent = tabs + spaces;
            TEditError err;
            try {
                std::string white(size_t(tabs), '\t');
                white.append(size_t(spaces), ' ');
                err = InsertTextAt(editor, para + 1, indent, white.data(), 1);
            } catch (const std::bad_alloc&) {
                err = ecOutOfMemory;
            }
            // Without its indentation the split still stands; report what is really there.
            if (err) indent = 0;
        } else {
            indent = 0;
        }
        RecordPosition(para + 1, indent + 1);
    }
    NotifyParaSplit(editor, para, indent, pos);
    int col;
    repaintFrom_ = ParaPosToLine(para, pos, col);
    repaintTo_ = kRepaintToEnd;
    return ecSuccess;
}

TEditError TZalParaList::JoinParas(TParaListView* editor, int32_t para, int pos) {
    TParaNode* node = FindPara(para);
    if (!node || para >= paraCount_) return ecSuccess;
    pos = std::max(pos, 1);
    const int len = node->Length();

    TGroupScope group(*this);
    if (pos == 1 && len == 0) { // an empty paragraph: the next one takes its place
        {
            TFlagScope quiet(notifyViews_, false);
            DeletePara(editor, para);
        }
        NotifyParasJoined(editor, para, 1);
        return ecSuccess;
    }

    const TParaNode* next = node->Next;
    const int nextLen = next->Length();
    if (TEditError err = CheckJoin(len, pos, nextLen)) return err;

    TEditError result = ecSuccess;
    {
        TFlagScope quiet(notifyViews_, false);
        if (nextLen > 0) result = DoInsertText(editor, para, nextLen, next->GetText(), pos);
        if (result == ecSuccess) DeletePara(editor, para + 1);
    }
    RecordPosition(para, pos);
    if (result == ecSuccess) NotifyParasJoined(editor, para, pos);
    int col;
    repaintFrom_ = ParaPosToLine(para, 1, col);
    repaintTo_ = kRepaintToEnd;
    return result;
}

TEditError TZalParaList::CheckJoin(int len, int pos, int nextLen) const {
    // What the join really adds: the next paragraph's text, spaces up to Pos, one
    // paragraph end less.
    const int padding = std::max(0, pos - 1 - len);
    const int64_t newLen = int64_t(std::max(len, pos - 1)) + nextLen;
    const int64_t newBytes = int64_t(byteCount_) + padding - 2;
    if ((newLen > paraLengthLimit_ && newLen > len) || newLen > kMaxParaChars ||
        (newBytes > byteLimit_ && newBytes > byteCount_))
        return ecJoinTooLong;
    return ecSuccess;
}

// --- ranges and blocks -------------------------------------------------------------

TEditError TZalParaList::DeleteRange(TParaListView* editor, int32_t para1, int pos1,
                                     int32_t para2, int pos2) {
    if (para1 < 1 || para2 <= para1 || para2 > paraCount_) return ecSuccess;
    pos1 = std::max(pos1, 1);
    pos2 = std::max(pos2, 1);
    const bool wholeParas = pos1 == 1 && pos2 == 1;
    const int len1 = ParaLength(para1);
    // The final join is tested before anything is deleted: a refused join must not leave
    // the range half deleted. An empty head joins by giving up its paragraph.
    const int head = std::min(pos1 - 1, len1);
    const int tail = std::max(0, ParaLength(para2) - (pos2 - 1));
    if (!wholeParas && head > 0)
        if (TEditError err = CheckJoin(head, head + 1, tail)) return err;

    TEditError result = ecSuccess;
    {
        TGroupScope group(*this);
        if (wholeParas) {
            for (int32_t i = para1; i < para2; ++i) DeletePara(editor, para1);
        } else {
            if (pos1 <= len1) DeleteTextAt(editor, para1, len1 - pos1 + 1, pos1);
            if (pos2 > 1) DeleteTextAt(editor, para2, pos2 - 1, 1);
            for (int32_t i = para1 + 1; i < para2; ++i) DeletePara(editor, para1 + 1);
            result = JoinParas(editor, para1, ParaLength(para1) + 1); // only memory can fail
        }
    }
    int col;
    repaintFrom_ = ParaPosToLine(para1, 1, col);
    repaintTo_ = kRepaintToEnd;
    return result;
}

TEditError TZalParaList::InsertBlock(TParaListView* editor, int32_t& para, std::string_view s,
                                     int& pos) {
    // The text ends at a zero byte, which no paragraph may hold.
    if (const size_t zero = s.find('\0'); zero != std::string_view::npos) s = s.substr(0, zero);
    if (s.empty()) return ecSuccess;
    const char* p = s.data();
    int rest = int(std::min(s.size(), size_t(kNoLimit)));

    // One segment: a line up to and including its line feed, or the rest of the text;
    // the carriage returns and line feeds at its end are not part of its content.
    auto segment = [](const char* at, int avail, int& content) {
        const int n = LineBreakLen(at, avail);
        content = n;
        while (content > 0 && (at[content - 1] == '\n' || at[content - 1] == '\r')) --content;
        return n;
    };

    int content;
    if (segment(p, rest, content) == rest && content == rest) {
        TEditError err = InsertTextAt(editor, para, rest, p, pos);
        if (err == ecSuccess) pos += rest;
        return err;
    }

    const int32_t startPara = para;
    const int startPos = pos;
    TEditError err = ecSuccess;
    {
        TGroupScope group(*this);
        while (rest > 0 && err == ecSuccess) {
            const int n = segment(p, rest, content);
            const bool endsPara = content < n;
            if (endsPara && pos == 1) {
                err = InsertParaBefore(editor, para, content, p);
            } else {
                if (content > 0) {
                    err = InsertTextAt(editor, para, content, p, pos);
                    if (err == ecSuccess) pos += content;
                }
                if (err == ecSuccess && endsPara) {
                    // The split adds a paragraph and its end: the limits must allow it.
                    err = CheckLimits(0, 1, 2);
                    int indent = 0;
                    if (err == ecSuccess) err = SplitPara(editor, para, pos, true, indent, 0);
                }
            }
            if (err == ecSuccess && endsPara) {
                ++para;
                pos = 1;
            }
            p += n;
            rest -= n;
        }
    }
    int col;
    repaintFrom_ = std::max(1, ParaPosToLine(startPara, startPos, col) - 1);
    repaintTo_ = kRepaintToEnd;
    return err;
}

// --- undo and redo replay ----------------------------------------------------------

int32_t TZalParaList::IndexOf(const TParaNode* node) const {
    int32_t i = 1;
    for (const TParaNode* n = first_; n; n = n->Next, ++i)
        if (n == node) return i;
    return 0;
}

bool TZalParaList::InChain(const TParaNode* node, const TParaNode* first) {
    return node->Prev || node->Next || node == first;
}

void TZalParaList::RemoveHeldPara(TParaListView* editor, TParaNode* held, int32_t para) {
    // The record will own the paragraph it names: remove exactly that object.
    if (held && FindPara(para) != held) {
        para = IndexOf(held);
        if (para == 0) return; // not linked: nothing to take out
    }
    DeletePara(editor, para);
}

namespace {
// The old and new texts of a replacement record: old, a zero byte, new, a zero byte.
void SplitReplaceData(const TUndoRecord& rec, const char*& oldText, int& oldLen,
                      const char*& newText, int& newLen) {
    oldText = newText = "";
    oldLen = newLen = 0;
    if (!rec.Data || rec.Len == 0) return;
    const char* zero = static_cast<const char*>(std::memchr(rec.Data, 0, rec.Len));
    oldText = rec.Data;
    oldLen = zero ? int(zero - rec.Data) : rec.Len;
    const int restStart = oldLen + 1;
    if (restStart >= rec.Len) return;
    newText = rec.Data + restStart;
    const char* end = static_cast<const char*>(std::memchr(newText, 0, rec.Len - restStart));
    newLen = end ? int(end - newText) : rec.Len - restStart;
}
} // namespace

void TZalParaList::ApplyUndo(TParaListView* editor, const TUndoRecord& rec) {
    const char* data = rec.Data ? rec.Data : "";
    switch (rec.Kind) {
    case uaPosition:
        break;
    case uaInsertText:
        DeleteTextAt(editor, rec.Para, rec.Len, rec.Pos);
        break;
    case uaInsertPara:
        RemoveHeldPara(editor, rec.Node, rec.Para);
        break;
    case uaInsertParaAfter:
        RemoveHeldPara(editor, rec.Node, rec.Para + 1);
        break;
    case uaDeleteText:
        // Restoring an earlier state: the limits of today do not apply to it. An empty
        // deletion may lie beyond the end, where an empty insertion would pad.
        if (rec.Len > 0) DoInsertText(editor, rec.Para, rec.Len, data, rec.Pos);
        break;
    case uaDeletePara:
        if (rec.Node && !InChain(rec.Node, first_)) LinkBefore(editor, rec.Node, rec.Para, true);
        break;
    case uaReplaceText: {
        const char *oldText, *newText;
        int oldLen, newLen;
        SplitReplaceData(rec, oldText, oldLen, newText, newLen);
        ReplaceTextAt(editor, rec.Para, oldLen, oldText, newLen, rec.Pos);
        break;
    }
    }
}

void TZalParaList::ApplyRedo(TParaListView* editor, const TUndoRecord& rec, int32_t& para,
                             int& pos) {
    const char* data = rec.Data ? rec.Data : "";
    switch (rec.Kind) {
    case uaPosition:
        break;
    case uaInsertText:
        DoInsertText(editor, para, rec.Len, data, pos);
        pos += rec.Len;
        break;
    case uaInsertPara:
        if (rec.Node && !InChain(rec.Node, first_)) LinkBefore(editor, rec.Node, para, true);
        ++para;
        pos = 1;
        break;
    case uaInsertParaAfter:
        if (rec.Node && !InChain(rec.Node, first_)) LinkAfter(editor, rec.Node, para, true);
        ++para;
        pos = 1;
        break;
    case uaDeleteText:
        DeleteTextAt(editor, para, rec.Len, pos);
        break;
    case uaDeletePara:
        RemoveHeldPara(editor, rec.Node, para);
        break;
    case uaReplaceText: {
        const char *oldText, *newText;
        int oldLen, newLen;
        SplitReplaceData(rec, oldText, oldLen, newText, newLen);
        ReplaceTextAt(editor, para, newLen, newText, oldLen, pos);
        pos += newLen;
        break;
    }
    }
}

bool TZalParaList::UndoGroup(TParaListView* editor, int32_t& para, int& pos) {
    if (!undo_->CanUndo()) return modified_;
    TFlagScope replay(replaying_, true);
    const uint8_t group = undo_->UndoGroupId();
    bool restored = modified_;
    do {
        const TUndoRecord rec = undo_->TakeUndo();
        para = rec.Para;
        pos = rec.Pos;
        restored = rec.Modified;
        ApplyUndo(editor, rec);
    } while (undo_->CanUndo() && undo_->UndoGroupId() == group);
    modified_ = restored; // the state before the group was first performed
    return restored;
}

void TZalParaList::RedoGroup(TParaListView* editor, int32_t& para, int& pos) {
    if (!undo_->CanRedo()) return;
    TFlagScope replay(replaying_, true);
    const uint8_t group = undo_->RedoGroupId();
    do {
        const TUndoRecord rec = undo_->TakeRedo(modified_);
        para = rec.Para;
        pos = rec.Pos;
        ApplyRedo(editor, rec, para, pos);
    } while (undo_->CanRedo() && undo_->RedoGroupId() == group);
}
