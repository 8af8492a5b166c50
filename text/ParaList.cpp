#include "text/ParaList.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "text/TextHelpers.h"

namespace {

// Shows the busy indicator for the lifetime of the object, if there is one.
// The characters of s that may go into a paragraph: those before a zero byte.
int TextPart(const char* s, int count) {
    if (!s || count <= 0) return 0;
    const void* zero = std::memchr(s, 0, size_t(count));
    return zero ? int(static_cast<const char*>(zero) - s) : count;
}

class TBusyScope {
public:
    TBusyScope(const TBusyIndicator& indicator, bool active)
        : indicator_(active && indicator ? &indicator : nullptr) {
        if (indicator_) (*indicator_)(true);
    }
    ~TBusyScope() {
        if (indicator_) (*indicator_)(false);
    }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    const TBusyIndicator* indicator_;
};

} // namespace

// --- creation and settings ---------------------------------------------------------

TZalParaList::TZalParaList(TParaListView* owner, bool wordWrap, uint16_t undoSize)
    : owner_(owner), wordWrap_(wordWrap) {
    auto node = std::make_unique<TParaNode>("", 0, kNoWrapWidth, tabSize_);
    undo_ = std::make_unique<TZalUndoBuffer>(undoSize);
    first_ = last_ = cacheNode_ = node.release();
}

TZalParaList::~TZalParaList() {
    // The history first: it releases the paragraphs it owns, none of which is linked.
    undo_.reset();
    for (TParaNode* node = first_; node;) {
        TParaNode* next = node->Next;
        delete node;
        node = next;
    }
}

void TZalParaList::SetTabSize(int n) {
    if (n < 1 || n > 255 || n == tabSize_) return;
    tabSize_ = uint8_t(n);
    if (wordWrap_) {
        RewrapAll();
        RelayoutViews();
    }
}

void TZalParaList::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    RewrapAll();
    RelayoutViews();
}

void TZalParaList::SetWrapColumn(int32_t n) {
    if (n < 1 || n == wrapColumn_) return;
    wrapColumn_ = n;
    if (wordWrap_) {
        RewrapAll();
        RelayoutViews();
    }
}

void TZalParaList::SetUndoBufferSize(uint16_t n) {
    // Get the new buffer before giving up the old one, so a failure keeps the history.
    auto fresh = std::make_unique<TZalUndoBuffer>(n);
    undo_.swap(fresh);
}

template <class F> void TZalParaList::ForEachView(TParaListView* start, F&& f) {
    if (!start) return;
    TParaListView* view = start;
    do {
        f(view);
        view = view->NextView();
    } while (view && view != start);
}

void TZalParaList::RelayoutViews() {
    ForEachView(owner_, [](TParaListView* v) { v->Relayout(); });
}

// --- cache and queries -------------------------------------------------------------

void TZalParaList::SetCache(TParaNode* node, int32_t para, int32_t line, int32_t lineInPara) {
    cacheNode_ = node;
    cachePara_ = para;
    cacheLine_ = line;
    cacheLineInPara_ = lineInPara;
}

TParaNode* TZalParaList::FindPara(int32_t para) {
    if (para < 1 || para > paraCount_) return nullptr;
    cacheLine_ -= cacheLineInPara_ - 1;
    cacheLineInPara_ = 1;
    if (para == cachePara_) return cacheNode_;
    if (para == 1) {
        SetCache(first_, 1, 1, 1);
        return first_;
    }
    if (para == paraCount_) {
        SetCache(last_, paraCount_, lineCount_ - last_->LineCount() + 1, 1);
        return last_;
    }
    if (para == cachePara_ + 1) {
        TParaNode* node = cacheNode_->Next;
        SetCache(node, para, cacheLine_ + cacheNode_->LineCount(), 1);
        return node;
    }
    if (para == cachePara_ - 1) {
        TParaNode* node = cacheNode_->Prev;
        SetCache(node, para, cacheLine_ - node->LineCount(), 1);
        return node;
    }
    const int32_t dc = std::abs(para - cachePara_);
    const int32_t df = para - 1;
    const int32_t dl = paraCount_ - para;
    TParaNode* node;
    int32_t p, line;
    if (df <= dc && df <= dl) {
        node = first_, p = 1, line = 1;
    } else if (dl <= dc) {
        node = last_, p = paraCount_, line = lineCount_ - last_->LineCount() + 1;
    } else {
        node = cacheNode_, p = cachePara_, line = cacheLine_;
    }
    while (p > para) {
        node = node->Prev;
        line -= node->LineCount();
        --p;
    }
    while (p < para) {
        line += node->LineCount();
        node = node->Next;
        ++p;
    }
    SetCache(node, para, line, 1);
    return node;
}

TParaNode* TZalParaList::GetLineText(int32_t line, const char*& text, int& len) {
    text = "";
    len = 0;
    if (!wordWrap_) {
        TParaNode* node = FindPara(line);
        if (node) {
            text = node->GetText();
            len = node->Length();
        }
        return node;
    }
    if (line < 1 || line > lineCount_) return nullptr;
    TParaNode* node;
    int32_t para, inPara;
    if (line == cacheLine_) {
        node = cacheNode_, para = cachePara_, inPara = cacheLineInPara_;
    } else if (line == 1) {
        node = first_, para = 1, inPara = 1;
    } else if (line == lineCount_) {
        node = last_, para = paraCount_, inPara = last_->LineCount();
    } else if (line == cacheLine_ + 1) {
        if (cacheLineInPara_ < cacheNode_->LineCount()) {
            node = cacheNode_, para = cachePara_, inPara = cacheLineInPara_ + 1;
        } else {
            node = cacheNode_->Next, para = cachePara_ + 1, inPara = 1;
        }
    } else if (line == cacheLine_ - 1) {
        if (cacheLineInPara_ > 1) {
            node = cacheNode_, para = cachePara_, inPara = cacheLineInPara_ - 1;
        } else {
            node = cacheNode_->Prev, para = cachePara_ - 1, inPara = node->LineCount();
        }
    } else {
        const int32_t dc = std::abs(line - cacheLine_);
        const int32_t df = line - 1;
        const int32_t dl = lineCount_ - line;
        int32_t firstLine;
        if (df <= dc && df <= dl) {
            node = first_, para = 1, firstLine = 1;
        } else if (dl <= dc) {
            node = last_, para = paraCount_, firstLine = lineCount_ - last_->LineCount() + 1;
        } else {
            node = cacheNode_, para = cachePara_, firstLine = cacheLine_ - cacheLineInPara_ + 1;
        }
        while (line < firstLine) {
            node = node->Prev;
            firstLine -= node->LineCount();
            --para;
        }
        while (line >= firstLine + node->LineCount()) {
            firstLine += node->LineCount();
            node = node->Next;
            ++para;
        }
        inPara = line - firstLine + 1;
    }
    SetCache(node, para, line, inPara);
    uint16_t n = 0;
    text = node->GetLine(inPara, n);
    len = n;
    return node;
}

int TZalParaList::ParaLength(int32_t para) {
    TParaNode* node = FindPara(para);
    return node ? node->Length() : 0;
}

int TZalParaList::LineLength(int32_t line) {
    const char* text;
    int len;
    GetLineText(line, text, len);
    return len;
}

int TZalParaList::W(const char* text, int n) const {
    return n > 0 && HasTab(text, n) ? TextWidth(text, n, tabSize_) : n;
}

int TZalParaList::LineWidth(int32_t line) {
    const char* text;
    int len;
    GetLineText(line, text, len);
    return W(text, len);
}

int32_t TZalParaList::LineToPara(int32_t line, int& offset) {
    offset = 0;
    if (!wordWrap_) return line;
    const char* text;
    int len;
    TParaNode* node = GetLineText(line, text, len);
    if (!node) return 0;
    offset = node->LineStart(cacheLineInPara_);
    return cachePara_;
}

int32_t TZalParaList::ParaPosToLine(int32_t para, int pos, int& col) {
    para = std::clamp(para, int32_t(1), paraCount_);
    TParaNode* node = FindPara(para);
    const int32_t firstLine = cacheLine_;
    const int32_t inPara = node->PosToLine(pos, col);
    return firstLine + inPara - 1;
}

int TZalParaList::PosToColumn(const char* text, int len, int pos) const {
    if (pos <= 1 || len == 0) return pos == 0 ? 1 : pos;
    if (pos <= len) return W(text, pos - 1) + 1;
    return W(text, len) + (pos - len);
}

int TZalParaList::ColumnToPos(const char* text, int len, int col) const {
    if (col <= 1 || len == 0) return col;
    const bool tabs = HasTab(text, len);
    // The last column the text covers; a trailing tab covers every cell up to its stop,
    // so a column inside those cells still gives the tab's position.
    const int end = tabs ? TextWidth(text, len, tabSize_) : len;
    if (end < col) return len + (col - end);
    return tabs ? CharsInWidth(text, col, tabSize_) : col;
}

// --- limits ------------------------------------------------------------------------

TEditError TZalParaList::CheckLimits(int32_t para, int32_t addParas, int32_t addBytes) {
    if (addBytes < 0) addBytes = 0;
    if (addParas > 0 || para > paraLimit_) {
        int64_t allowance = paraLimit_;
        if (paraLimit_ != kNoLimit && para <= paraLimit_ && last_->Length() == 0) ++allowance;
        if (int64_t(paraCount_) + addParas > allowance) return ecParaLimit;
    }
    if (int64_t(byteCount_) + addBytes > byteLimit_) return ecTextSizeLimit;
    if (para > 0 && addParas == 0) {
        TParaNode* node = FindPara(para);
        if (node && int64_t(node->Length()) + addBytes > paraLengthLimit_) return ecParaLengthLimit;
    }
    return ecSuccess;
}

// --- repaint range and recording ---------------------------------------------------

void TZalParaList::SetRepaint(int32_t paraFirstLine, int32_t firstLine, int32_t lastLine,
                              bool linesChanged) {
    repaintFrom_ = paraFirstLine + firstLine - 1;
    repaintTo_ = linesChanged ? kRepaintToEnd : paraFirstLine + lastLine - 1;
}

void TZalParaList::RecordPosition(int32_t para, int pos) {
    if (Recording()) undo_->AddRecord(uaPosition, modified_, 0, nullptr, pos, para);
}

// --- editing primitives ------------------------------------------------------------

TEditError TZalParaList::AddLoadedPara(const char* text, int len, bool trim) {
    if (len < 0) len = 0;
    if (len > kMaxParaChars) return ecParaLengthLimit; // the loader cuts long lines first
    auto* node = TParaNode::New(text, uint16_t(len), WrapWidth(), tabSize_);
    int32_t bytes = node->Length() + 2;
    if (trim) bytes -= node->TrimTrailing();
    node->Next = last_;
    node->Prev = last_->Prev;
    if (last_->Prev)
        last_->Prev->Next = node;
    else
        first_ = node;
    last_->Prev = node;
    ++paraCount_;
    byteCount_ += bytes;
    lineCount_ += node->LineCount();
    SetCache(first_, 1, 1, 1);
    return ecSuccess;
}

TEditError TZalParaList::InsertTextAt(TParaListView* editor, int32_t para, int count,
                                      const char* s, int pos) {
    TParaNode* node = FindPara(para);
    if (!node || count < 0 || pos < 1) return ecSuccess;
    count = TextPart(s, count);
    // Spaces that fill the gap up to a position beyond the end count as inserted bytes.
    const int padding = std::max(0, pos - 1 - int(node->Length()));
    if (TEditError err = CheckLimits(para, 0, count + padding)) return err;
    return DoInsertText(editor, para, count, s, pos);
}

TEditError TZalParaList::DoInsertText(TParaListView* editor, int32_t para, int count,
                                      const char* s, int pos) {
    TParaNode* node = FindPara(para);
    if (!node || count < 0 || pos < 1) return ecSuccess;
    if (!s) s = "";
    const int oldLen = node->Length();
    if (std::max(pos - 1, oldLen) + count > kMaxParaChars) return ecOutOfMemory;
    const int32_t oldLines = node->LineCount();
    const int32_t paraFirstLine = cacheLine_; // FindPara left the cache on this paragraph
    int32_t firstLine = 0, lastLine = 0;
    if (TEditError err = node->InsertChars(pos, s, count, WrapWidth(), tabSize_, firstLine, lastLine))
        return err;
    const int growth = node->Length() - oldLen;
    if (Recording()) {
        if (growth > count)
            undo_->AddRecord(uaInsertText, modified_, uint16_t(growth), node->GetText() + oldLen,
                             oldLen + 1, para);
        else
            undo_->AddRecord(uaInsertText, modified_, uint16_t(count), s, pos, para);
    }
    byteCount_ += growth;
    lastLineDelta_ = node->LineCount() - oldLines;
    lineCount_ += lastLineDelta_;
    SetRepaint(paraFirstLine, firstLine, lastLine, node->LineCount() != oldLines);
    NotifyTextInserted(editor, para, count, pos);
    modified_ = true;
    return ecSuccess;
}

void TZalParaList::DeleteTextAt(TParaListView* editor, int32_t para, int count, int pos) {
    TParaNode* node = FindPara(para);
    if (!node || pos < 1) return;
    const int len = node->Length();
    if (pos + count - 1 > len) count = len - pos + 1;
    if (count < 0 || node->TextCapacity() == 0) count = 0;
    if (Recording())
        undo_->AddRecord(uaDeleteText, modified_, uint16_t(count),
                         node->GetText() + std::min(pos - 1, len), pos, para);
    const int32_t oldLines = node->LineCount();
    const int32_t paraFirstLine = cacheLine_;
    int32_t firstLine = 0, lastLine = 0;
    if (count > 0) {
        node->DeleteChars(pos, count, WrapWidth(), tabSize_, firstLine, lastLine);
    } else {
        int col;
        firstLine = lastLine = node->PosToLine(pos, col);
    }
    byteCount_ -= count;
    lastLineDelta_ = node->LineCount() - oldLines;
    lineCount_ += lastLineDelta_;
    SetRepaint(paraFirstLine, firstLine, lastLine, node->LineCount() != oldLines);
    NotifyTextDeleted(editor, para, count, pos);
    modified_ = true;
}

TEditError TZalParaList::ReplaceTextAt(TParaListView* editor, int32_t para, int newCount,
                                       const char* s, int oldCount, int pos) {
    TParaNode* node = FindPara(para);
    if (!node || newCount < 0 || oldCount < 0) return ecSuccess;
    if (!s) s = "";
    newCount = TextPart(s, newCount);
    const int len = node->Length();
    if (pos < 1 || pos > len + 1) return ecSuccess;
    oldCount = std::min(oldCount, len - pos + 1);
    const int grow = newCount - oldCount;
    // Growth is limited as insertion is; replay restores what was there and is not.
    if (grow > 0 && Recording())
        if (TEditError err = CheckLimits(para, 0, grow)) return err;
    // Secure the room first: a record of a change that then fails must not exist.
    if (grow > 0 && (len + grow > kMaxParaChars || !node->EnsureTextCapacity(uint16_t(len + grow + 1))))
        return ecOutOfMemory;
    if (Recording())
        undo_->AddReplaceRecord(modified_, para, pos, node->GetText() + pos - 1,
                                uint16_t(oldCount), s, uint16_t(newCount));
    const int32_t oldLines = node->LineCount();
    const int32_t paraFirstLine = cacheLine_;
    int32_t firstLine = 0, lastLine = 0;
    if (TEditError err = node->ReplaceChars(pos, oldCount, s, newCount, WrapWidth(), tabSize_,
                                            firstLine, lastLine))
        return err; // cannot happen once the capacity is secured
    modified_ = true;
    lastLineDelta_ = node->LineCount() - oldLines;
    lineCount_ += lastLineDelta_;
    byteCount_ += grow;
    SetRepaint(paraFirstLine, firstLine, lastLine, node->LineCount() != oldLines);
    if (grow == 0)
        NotifyTextInserted(editor, para, 0, pos);
    else if (grow > 0)
        NotifyTextInserted(editor, para, grow, pos + oldCount);
    else
        NotifyTextDeleted(editor, para, -grow, pos + newCount);
    return ecSuccess;
}

TEditError TZalParaList::InsertParaBefore(TParaListView* editor, int32_t para, int len,
                                          const char* text) {
    if (!FindPara(para)) return ecSuccess;
    if (len < 0) len = 0;
    if (TEditError err = CheckLimits(0, 1, len + 2)) return err;
    // A paragraph may not start out longer than any insertion could make it.
    if (len > paraLengthLimit_ || len > kMaxParaChars) return ecParaLengthLimit;
    auto* node = TParaNode::New(text, uint16_t(len), WrapWidth(), tabSize_);
    if (Recording()) undo_->AddParaRecord(uaInsertPara, modified_, node, 1, para);
    LinkBefore(editor, node, para, false);
    return ecSuccess;
}

TEditError TZalParaList::InsertParaAfter(TParaListView* editor, int32_t para, int len,
                                         const char* text) {
    if (!FindPara(para)) return ecSuccess;
    if (len < 0) len = 0;
    if (len > kMaxParaChars) return ecOutOfMemory;
    auto* node = TParaNode::New(text, uint16_t(len), WrapWidth(), tabSize_);
    if (Recording()) undo_->AddParaRecord(uaInsertParaAfter, modified_, node, 1, para);
    LinkAfter(editor, node, para, false);
    return ecSuccess;
}

void TZalParaList::LinkBefore(TParaListView* editor, TParaNode* node, int32_t para, bool rewrap) {
    para = std::clamp(para, int32_t(1), paraCount_ + 1);
    if (rewrap) node->Rewrap(WrapWidth(), tabSize_);
    byteCount_ += node->Length() + 2;
    int32_t firstLine;
    if (para > paraCount_) { // after the last paragraph
        firstLine = lineCount_ + 1;
        node->Prev = last_;
        node->Next = nullptr;
        last_->Next = node;
        last_ = node;
    } else {
        TParaNode* at = FindPara(para);
        firstLine = cacheLine_;
        node->Next = at;
        node->Prev = at->Prev;
        if (at->Prev)
            at->Prev->Next = node;
        else
            first_ = node;
        at->Prev = node;
    }
    ++paraCount_;
    lineCount_ += node->LineCount();
    SetCache(node, para, firstLine, 1);
    repaintFrom_ = firstLine;
    repaintTo_ = kRepaintToEnd;
    NotifyParaSplit(editor, para, 0, 1);
    modified_ = true;
}

void TZalParaList::LinkAfter(TParaListView* editor, TParaNode* node, int32_t para, bool rewrap) {
    para = std::clamp(para, int32_t(1), paraCount_);
    TParaNode* at = FindPara(para);
    if (rewrap) node->Rewrap(WrapWidth(), tabSize_);
    byteCount_ += node->Length() + 2;
    node->Prev = at;
    node->Next = at->Next;
    if (at->Next)
        at->Next->Prev = node;
    else
        last_ = node;
    at->Next = node;
    ++paraCount_;
    lineCount_ += node->LineCount();
    repaintFrom_ = cacheLine_ + at->LineCount();
    repaintTo_ = kRepaintToEnd;
    NotifyParaSplit(editor, para + 1, 0, 1);
    modified_ = true;
}

void TZalParaList::Unlink(TParaNode* node) {
    if (node->Prev)
        node->Prev->Next = node->Next;
    else
        first_ = node->Next;
    if (node->Next)
        node->Next->Prev = node->Prev;
    else
        last_ = node->Prev;
    node->Next = node->Prev = nullptr;
}

void TZalParaList::DeletePara(TParaListView* editor, int32_t para) {
    TParaNode* node = FindPara(para);
    if (!node || paraCount_ == 1) return;
    // A stored record owns the paragraph from now on; a refused one leaves it to us.
    const bool held =
        !Recording() || undo_->AddParaRecord(uaDeletePara, modified_, node, 1, para);
    const int32_t firstLine = cacheLine_;
    if (para == 1)
        SetCache(node->Next, 1, 1, 1);
    else
        SetCache(node->Prev, para - 1, firstLine - node->Prev->LineCount(), 1);
    Unlink(node);
    --paraCount_;
    lineCount_ -= node->LineCount();
    byteCount_ -= node->Length() + 2;
    if (!held) delete node;
    repaintFrom_ = std::max(1, std::min(firstLine, lineCount_));
    repaintTo_ = kRepaintToEnd;
    NotifyParaDeleted(editor, para);
    modified_ = true;
}

void TZalParaList::RewrapAll() {
    TBusyScope busy(busy_, byteCount_ > kBusyRewrapBytes);
    const int width = WrapWidth();
    int32_t lines = 0;
    for (TParaNode* node = first_; node; node = node->Next) {
        node->Rewrap(width, tabSize_);
        lines += node->LineCount();
    }
    lineCount_ = lines;
    SetCache(first_, 1, 1, 1);
}

// --- bookmarks and notifications ---------------------------------------------------

TParaPos TZalParaList::Marker(int index) const {
    return index >= 0 && index < kMarkerCount ? markers_[index] : TParaPos{};
}

void TZalParaList::SetMarker(int index, int32_t para, int32_t pos) {
    if (index >= 0 && index < kMarkerCount) markers_[index] = {para, pos};
}

void TZalParaList::SetMarkerAtLine(int index, int32_t line, int col) {
    if (index < 0 || index >= kMarkerCount) return;
    int offset;
    const int32_t para = LineToPara(line, offset);
    if (para < 1 || para > paraCount_) return; // no such line
    markers_[index] = {para, col + offset};
}

void TZalParaList::AdjustPosForParaDeleted(TParaPos& p, int32_t para) const {
    if (p.Para == para)
        p.Pos = 1;
    else if (p.Para > para)
        --p.Para;
    p.Para = std::min(p.Para, paraCount_);
}

void TZalParaList::AdjustPosForTextDeleted(TParaPos& p, int32_t para, int32_t count,
                                           int32_t pos) const {
    if (p.Para != para || p.Pos < pos) return;
    if (p.Pos < pos + count)
        p.Pos = pos;
    else
        p.Pos -= count;
}

void TZalParaList::NotifyParaDeleted(TParaListView* editor, int32_t para) {
    if (!notifyViews_) return;
    for (TParaPos& m : markers_) {
        if (m.Para == 0) continue;
        if (m.Para == para)
            m = {};
        else if (m.Para > para)
            --m.Para;
    }
    ForEachView(editor, [&](TParaListView* v) { v->AdjustForParaDeleted(para, v == editor); });
}

void TZalParaList::NotifyTextDeleted(TParaListView* editor, int32_t para, int32_t count,
                                     int32_t pos) {
    if (!notifyViews_) return;
    for (TParaPos& m : markers_) {
        if (m.Para != para || m.Pos < pos) continue;
        if (m.Pos < pos + count)
            m = {};
        else
            m.Pos -= count;
    }
    ForEachView(editor,
                [&](TParaListView* v) { v->AdjustForTextDeleted(para, pos, count, v == editor); });
}

void TZalParaList::NotifyParaSplit(TParaListView* editor, int32_t para, int32_t indent,
                                   int32_t splitPos) {
    if (!notifyViews_) return;
    for (TParaPos& m : markers_) {
        if (m.Para == 0) continue;
        if (m.Para > para)
            ++m.Para;
        else if (m.Para == para && m.Pos >= splitPos)
            m = {para + 1, m.Pos - splitPos + 1 + indent};
    }
    ForEachView(editor,
                [&](TParaListView* v) { v->AdjustForParaSplit(para, splitPos, indent, v == editor); });
}

void TZalParaList::NotifyTextInserted(TParaListView* editor, int32_t para, int32_t count,
                                      int32_t pos) {
    if (!notifyViews_) return;
    for (TParaPos& m : markers_)
        if (m.Para == para && m.Pos >= pos) m.Pos += count;
    ForEachView(editor,
                [&](TParaListView* v) { v->AdjustForTextInserted(para, pos, count, v == editor); });
}

void TZalParaList::NotifyParasJoined(TParaListView* editor, int32_t para, int32_t joinPos) {
    if (!notifyViews_) return;
    for (TParaPos& m : markers_) {
        if (m.Para <= para) continue;
        if (m.Para == para + 1) m.Pos += joinPos - 1;
        --m.Para;
    }
    ForEachView(editor, [&](TParaListView* v) { v->AdjustForParasJoined(para, joinPos, v == editor); });
}
