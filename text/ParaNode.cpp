#include "text/ParaNode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "text/BlockPool.h"
#include "text/TextAlloc.h"

namespace {
const char kEmptyText[] = "";
constexpr int kMaxCapacity = 0xFFFF; // capacities are 16-bit
constexpr uint16_t kFirstStart = 0;  // the only entry of a one-line table
// The largest table whose entries fit in its own pool block, after count and capacity.
constexpr int kMaxEntriesInBlock = static_cast<int>(kMaxPooledBlock - 4) / 2;
constexpr std::size_t kTableCellSize = 16; // count, capacity, pointer to the entries

// A big table's entries: the pointer in its cell, after count and capacity.
template <class Table> uint16_t* Outside(const Table* t) {
    uint16_t* entries;
    std::memcpy(&entries, reinterpret_cast<const char*>(t) + 8, sizeof entries);
    return entries;
}

template <class Table> void SetOutside(Table* t, uint16_t* entries) {
    std::memcpy(reinterpret_cast<char*>(t) + 8, &entries, sizeof entries);
}

// The characters Create copies: up to len, stopping at a zero byte (a length beyond it
// would leave bytes inside the text that were never written).
inline int CopiedLength(const char* text, uint16_t len) {
    if (!text || len == 0) return 0;
    const void* zero = std::memchr(text, '\0', len);
    return zero ? static_cast<int>(static_cast<const char*>(zero) - text) : len;
}

inline bool Wraps(int wrapWidth) {
    return wrapWidth > 0 && wrapWidth != kUnwrappedWidth;
}

// Rounds n up to a multiple of step; a result that does not fit 16 bits becomes the
// largest 16-bit capacity, so a buffer is never smaller than what was asked for.
inline int RoundCapacity(int n, int step) {
    const int r = (n + step - 1) / step * step;
    return r > kMaxCapacity ? kMaxCapacity : r;
}

// Whether p points into [base, base + size): the inserted text may come from the
// paragraph itself, and the buffer may move or shift under it.
inline bool PointsInto(const char* p, const char* base, int size) {
    const auto a = reinterpret_cast<std::uintptr_t>(p);
    const auto b = reinterpret_cast<std::uintptr_t>(base);
    return base && a >= b && a < b + static_cast<std::uintptr_t>(size);
}

// The characters that fit on the line starting at s. Looking for tabs only within the
// line gives the same fit as deciding once over the rest of the paragraph (without a
// tab in its first width characters a line fits width characters, or all that is left),
// but costs a line's length instead of the paragraph's after every keystroke.
inline int LineFit(const char* s, int remaining, int wrapWidth, int tabSize) {
    const int window = std::min(wrapWidth, remaining);
    if (window > 0 && std::memchr(s, '\t', static_cast<size_t>(window)))
        return CharsInWidth(s, wrapWidth, tabSize);
    return window;
}

inline void ShiftStarts(uint16_t* starts, int32_t from, int32_t to, int shift) {
    const auto d = static_cast<uint16_t>(shift);
    for (int32_t j = from; j <= to; ++j)
        starts[j - 1] = static_cast<uint16_t>(starts[j - 1] + d);
}
} // namespace

TParaNode::TParaNode(const char* text, uint16_t len, int wrapWidth, int tabSize)
    : TParaNode(text, CopiedLength(text, len), -1, false, wrapWidth, tabSize) {}

// capacity is the text's buffer size (-1: work it out); inNode keeps the text in the
// node's block, which New made large enough.
TParaNode::TParaNode(const char* text, int n, int capacity, bool inNode, int wrapWidth,
                     int tabSize)
    : buffer_(const_cast<char*>(kEmptyText)) {
    if (n + 1 > kMaxCapacity) throw ETextOutOfMemory();
    if (n > 0) {
        const int cap = capacity > 0 ? capacity : RoundCapacity(n + 1, 8);
        char* to = InNode();
        if (!inNode) {
            to = static_cast<char*>(TextAlloc(static_cast<size_t>(cap)));
            if (!to) throw ETextOutOfMemory();
            buffer_ = to;
        }
        SetTextCapacity(cap, !inNode);
        std::memcpy(to, text, static_cast<size_t>(n));
        to[n] = '\0';
        length_ = static_cast<uint16_t>(n);
    }
    const uint16_t lines = EstimateLines(length_, wrapWidth);
    if ((lines > 1 && !EnsureLineCapacity(lines)) || !Rebreak(wrapWidth, tabSize)) {
        FreeBuffers();
        throw ETextOutOfMemory();
    }
}

TParaNode* TParaNode::New(const char* text, uint16_t len, int wrapWidth, int tabSize) {
    const int n = CopiedLength(text, len);
    if (n + 1 > kMaxCapacity) throw ETextOutOfMemory();
    const int cap = n > 0 ? RoundCapacity(n + 1, 8) : 0;
    const bool inNode = n > 0 && TextOffset() + static_cast<size_t>(cap) <= kMaxPooledBlock;
    const size_t size = inNode ? TextOffset() + static_cast<size_t>(cap) : sizeof(TParaNode);
    void* block = TextAlloc(size);
    if (!block) throw ETextOutOfMemory();
    try {
        return ::new (block) TParaNode(text, n, cap, inNode, wrapWidth, tabSize);
    } catch (...) {
        TextFree(block, size);
        throw;
    }
}

TParaNode::~TParaNode() {
    FreeBuffers();
}

void TParaNode::FreeBuffers() noexcept {
    if (OwnBuffer() && HasBuffer()) TextFree(buffer_, TextCapacity());
    buffer_ = const_cast<char*>(kEmptyText);
    capacity_ = kOwnBuffer;
    FreeTable();
    lines_ = nullptr;
}

void TParaNode::FreeTable() noexcept {
    TLineTable* t = lines_;
    if (!t) return;
    const size_t bytes = t->capacity * sizeof(uint16_t);
    if (t->capacity > kMaxEntriesInBlock) {
        TextFree(Outside(t), bytes);
        PoolFree(t, kTableCellSize);
    } else {
        TextFree(t, sizeof(TLineTable) + bytes);
    }
}

const uint16_t* TParaNode::Starts() const {
    if (!lines_) return &kFirstStart;
    const TLineTable* t = lines_;
    return t->capacity > kMaxEntriesInBlock ? Outside(t)
                                            : reinterpret_cast<const uint16_t*>(t + 1);
}

uint16_t* TParaNode::Entries() {
    return const_cast<uint16_t*>(std::as_const(*this).Starts());
}

uint16_t TParaNode::LineStart(int32_t line) const {
    return line >= 1 && line <= LineCount() ? Starts()[line - 1] : 0;
}

const char* TParaNode::GetLine(int32_t index, uint16_t& len) const {
    const int32_t count = LineCount();
    if (index < 1 || index > count) {
        len = 0;
        return kEmptyText;
    }
    if (count == 1) {
        len = length_;
        return GetText();
    }
    const uint16_t* st = Starts();
    const int start = st[index - 1];
    const int end = index < count ? st[index] : length_;
    len = static_cast<uint16_t>(end > start ? end - start : 0);
    return GetText() + std::min(start, static_cast<int>(length_));
}

int32_t TParaNode::PosToLine(int pos, int& col) const {
    const int32_t n = LineCount();
    if (n <= 1) {
        col = pos;
        return 1;
    }
    const uint16_t* st = Starts();
    int32_t bound = n;
    if (n > 20) { // long paragraphs: start the backward scan nearer the answer
        const int32_t h = n / 2;
        if (pos <= st[h - 1]) {
            bound = h;
            if (pos <= st[h / 2 - 1]) bound = h / 2;
        } else if (pos <= st[n - h - 1]) {
            bound = n - h;
        }
    }
    int32_t k = bound;
    while (k > 1 && st[k - 1] > pos - 1)
        --k;
    col = pos - st[k - 1];
    return k;
}

uint16_t TParaNode::EstimateLines(uint16_t length, int wrapWidth) {
    if (!Wraps(wrapWidth)) return 1;
    // 16-bit arithmetic throughout: only an estimate, the table grows when it is short.
    const auto l = static_cast<uint16_t>(length / wrapWidth);
    const auto estimate = static_cast<uint16_t>(l + l / 5);
    const auto rounded = static_cast<uint16_t>((estimate + 7) & ~7);
    return rounded < 8 ? 8 : rounded;
}

bool TParaNode::EnsureTextCapacity(uint16_t n) {
    return TextCapacity() >= n || GrowText(n);
}

bool TParaNode::GrowText(uint16_t n) {
    const int cap = RoundCapacity(n, 16);
    auto* buffer = static_cast<char*>(TextAlloc(static_cast<size_t>(cap)));
    if (!buffer) return false;
    if (HasBuffer()) {
        std::memcpy(buffer, GetText(), static_cast<size_t>(length_) + 1);
        // Text kept in the node leaves its room unused: the node's block cannot shrink.
        if (OwnBuffer()) TextFree(buffer_, TextCapacity());
    } else {
        buffer[0] = '\0';
    }
    buffer_ = buffer;
    SetTextCapacity(cap, true);
    return true;
}

bool TParaNode::EnsureLineCapacity(int32_t n) {
    if (n > kMaxCapacity) return false;
    const int target = std::max(8, RoundCapacity(n, 8));
    if (LineCapacity() >= target) return true;
    if (!lines_ && target == 8) { // allocated when a second line needs it
        capacity_ = static_cast<uint16_t>(capacity_ | kLazyTable);
        return true;
    }
    return GrowTable(target);
}

bool TParaNode::Room(int32_t n) {
    if (n <= Stored()) return true;
    if (n > kMaxCapacity) return false;
    return GrowTable(std::max({8, RoundCapacity(n, 8), static_cast<int>(LineCapacity())}));
}

bool TParaNode::GrowTable(int capacity) {
    const size_t bytes = static_cast<size_t>(capacity) * sizeof(uint16_t);
    TLineTable* table;
    uint16_t* entries;
    if (capacity > kMaxEntriesInBlock) {
        entries = static_cast<uint16_t*>(TextAlloc(bytes));
        if (!entries) return false;
        table = static_cast<TLineTable*>(PoolAlloc(kTableCellSize));
        if (!table) {
            TextFree(entries, bytes);
            return false;
        }
        SetOutside(table, entries);
    } else {
        table = static_cast<TLineTable*>(TextAlloc(sizeof(TLineTable) + bytes));
        if (!table) return false;
        entries = reinterpret_cast<uint16_t*>(table + 1);
    }
    // Entries past the line count may hold starts already (the re-break grows the
    // table as it goes): copy all that are stored.
    const int stored = Stored();
    std::memcpy(entries, Starts(), static_cast<size_t>(stored) * sizeof(uint16_t));
    std::memset(entries + stored, 0, static_cast<size_t>(capacity - stored) * sizeof(uint16_t));
    table->count = static_cast<uint16_t>(LineCount());
    table->capacity = static_cast<uint16_t>(capacity);
    FreeTable();
    lines_ = table;
    capacity_ = static_cast<uint16_t>(capacity_ & ~kLazyTable);
    return true;
}

void TParaNode::Rewrap(int wrapWidth, int tabSize) {
    Rebreak(wrapWidth, tabSize);
}

bool TParaNode::Rebreak(int wrapWidth, int tabSize) {
    SetLineCount(1);
    if (!Wraps(wrapWidth) || !HasBuffer()) return true;
    // A failure here is not fatal yet: the loop below grows the table line by line.
    (void)EnsureLineCapacity(EstimateLines(length_, wrapWidth));
    const char* text = GetText();
    const bool tabs = length_ > 0 && HasTab(text, length_);
    int fit = tabs ? CharsInWidth(text, wrapWidth, tabSize) : wrapWidth;
    const char* current = text;
    int remaining = length_;
    int32_t count = 1;
    int stored = Stored();
    uint16_t* st = stored > 1 ? Entries() : nullptr;
    while (fit < remaining) {
        const char* next = FindBreak(current, fit);
        remaining -= static_cast<int>(next - current);
        if (remaining <= 0) break;
        if (count >= stored) {
            if (!Room(count + 1)) {
                SetLineCount(count); // the last line so far runs to the end of the text
                return false;
            }
            stored = Stored();
            st = Entries();
        }
        st[count++] = static_cast<uint16_t>(next - text);
        fit = tabs ? CharsInWidth(next, wrapWidth, tabSize) : std::min(wrapWidth, remaining);
        current = next;
    }
    SetLineCount(count);
    return true;
}

bool TParaNode::UpdateWrap(int wrapWidth, int tabSize, int p, int shift, int guard,
                           int32_t& firstLine, int32_t& lastLine) {
    int col = 0;
    const int32_t editLine = PosToLine(p + 1, col);
    if (!Wraps(wrapWidth) || !HasBuffer()) {
        firstLine = lastLine = editLine;
        return true;
    }
    const char* text = GetText();
    const int32_t oldCount = LineCount();
    // The line before the edit may take up what the edit left at the start of its line.
    const int32_t s = editLine > 1 ? editLine - 1 : 1;
    const int startS = Starts()[s - 1];
    const char* current = text + startS;
    int remaining = length_ - startS;
    int fit = LineFit(current, remaining, wrapWidth, tabSize);
    int32_t first = 0, last = 0;
    int prevOld = startS, prevNew = startS;
    int32_t k = s;
    bool settled = false; // the rest of the table was shifted into place
    bool grown = true;
    int stored = Stored();
    uint16_t* st = stored > 1 ? Entries() : nullptr;
    while (remaining > fit) {
        const char* next = FindBreak(current, fit);
        remaining -= static_cast<int>(next - current);
        if (remaining <= 0) break;
        ++k;
        if (k > stored) {
            if (!Room(k)) {
                grown = false;
                break;
            }
            stored = Stored();
            st = Entries();
        }
        const int now = static_cast<int>(next - text);
        const bool hasOld = k <= oldCount;
        const int old = hasOld ? st[k - 1] : -1;
        if (first == 0 && hasOld && old <= p && p < now) {
            // The edited line's old start now lies on the line before it.
            last = k;
            first = k - 1;
            st[k - 1] = static_cast<uint16_t>(now);
        } else if (hasOld && old == now - shift && now >= p + guard + std::max(shift, 0)) {
            // Same break as before, moved by the edit, and past the changed text (from
            // there on the new text is the old one moved): the remaining lines only move.
            ShiftStarts(st, k, oldCount, shift);
            settled = true;
            break;
        } else {
            if (first == 0) first = k;
            last = k;
            const int magnitude = shift < 0 ? -shift : shift;
            if (guard == 0 && magnitude <= fit && hasOld) {
                if (old == prevNew - shift && shift < 0 && now > p && prevNew >= p) {
                    // The previous line, past the changed text, now begins where line k
                    // began: the lines after it are the old ones moved, one line fewer.
                    std::memmove(st + k - 1, st + k,
                                 static_cast<size_t>(oldCount - k) * sizeof(uint16_t));
                    SetLineCount(oldCount - 1);
                    ShiftStarts(st, k, oldCount - 1, shift);
                    settled = true;
                    break;
                }
                if (now == prevOld + shift && shift > 0 && now >= p + shift) {
                    // Line k, past the inserted text, begins where line k-1 began: the
                    // lines from it on are the old ones moved, one line more.
                    if (oldCount + 1 > stored) {
                        if (!Room(oldCount + 1)) {
                            grown = false;
                            break;
                        }
                        st = Entries();
                    }
                    std::memmove(st + k, st + k - 1,
                                 static_cast<size_t>(oldCount - k + 1) * sizeof(uint16_t));
                    st[k - 1] = static_cast<uint16_t>(now);
                    SetLineCount(oldCount + 1);
                    ShiftStarts(st, k + 1, oldCount + 1, shift);
                    settled = true;
                    break;
                }
            }
            st[k - 1] = static_cast<uint16_t>(now);
        }
        prevOld = old;
        prevNew = now;
        fit = LineFit(next, remaining, wrapWidth, tabSize);
        current = next;
    }
    if (!grown) {
        // Lines 1 .. k-1 hold true starts of the new text; the last of them runs to the end.
        SetLineCount(k - 1);
        firstLine = s;
        lastLine = k - 1;
        return false;
    }
    if (!settled) SetLineCount(k);
    if (first == 0)
        first = editLine == 1 ? 1 : editLine - 1;
    else if (first > editLine)
        first = editLine;
    if (last == 0) last = editLine;
    firstLine = first;
    lastLine = last;
    return true;
}

TEditError TParaNode::InsertChars(int pos, const char* s, int count, int wrapWidth, int tabSize,
                                  int32_t& firstLine, int32_t& lastLine) {
    int col = 0;
    auto unchanged = [&](TEditError error) {
        firstLine = lastLine = PosToLine(pos, col);
        return error;
    };
    if (pos < 1 || count < 0 || (count > 0 && !s)) return unchanged(ecRegionTooLarge);
    const int p = pos - 1;
    const int need = std::max(p, static_cast<int>(length_)) + count + 1;
    if (need > kMaxCapacity) return unchanged(ecOutOfMemory);
    std::string own; // characters taken from this very paragraph
    if (count > 0 && PointsInto(s, GetText(), TextCapacity())) {
        try {
            own.assign(s, static_cast<size_t>(count));
        } catch (const std::bad_alloc&) {
            return unchanged(ecOutOfMemory);
        }
        s = own.data();
    }
    if (!EnsureTextCapacity(static_cast<uint16_t>(need))) return unchanged(ecOutOfMemory);
    const int oldLength = length_;
    char* text = Text();
    if (p > length_) { // beyond the end: pad with spaces up to the insertion point
        std::memset(text + length_, ' ', static_cast<size_t>(p - length_));
        text[p] = '\0';
        length_ = static_cast<uint16_t>(p);
    }
    std::memmove(text + p + count, text + p, static_cast<size_t>(length_ - p) + 1);
    if (count > 0) std::memcpy(text + p, s, static_cast<size_t>(count));
    length_ = static_cast<uint16_t>(length_ + count);
    if (!UpdateWrap(wrapWidth, tabSize, p, count, 0, firstLine, lastLine)) {
        // Take the insertion back; the old breaks fit the table as they did before.
        std::memmove(text + p, text + p + count, static_cast<size_t>(length_ - p - count) + 1);
        length_ = static_cast<uint16_t>(oldLength);
        text[oldLength] = '\0';
        Rebreak(wrapWidth, tabSize);
        return unchanged(ecOutOfMemory);
    }
    return ecSuccess;
}

void TParaNode::DeleteChars(int pos, int count, int wrapWidth, int tabSize, int32_t& firstLine,
                            int32_t& lastLine) {
    if (!HasBuffer() || pos < 1 || pos > length_ || count <= 0) {
        int col = 0;
        firstLine = lastLine = PosToLine(pos, col);
        return;
    }
    const int p = pos - 1;
    char* text = Text();
    if (count >= length_ - p) {
        text[p] = '\0';
        length_ = static_cast<uint16_t>(p);
    } else {
        std::memmove(text + p, text + p + count, static_cast<size_t>(length_ - p - count) + 1);
        length_ = static_cast<uint16_t>(length_ - count);
    }
    // A count beyond any 16-bit offset can match no old start; capping it keeps the
    // comparisons of the re-break within int.
    UpdateWrap(wrapWidth, tabSize, p, -std::min(count, kMaxCapacity + 1), 0, firstLine, lastLine);
}

TEditError TParaNode::ReplaceChars(int pos, int oldCount, const char* s, int newCount,
                                   int wrapWidth, int tabSize, int32_t& firstLine,
                                   int32_t& lastLine) {
    int col = 0;
    auto unchanged = [&](TEditError error) {
        firstLine = lastLine = PosToLine(pos, col);
        return error;
    };
    if (pos < 1 || pos > length_ + 1 || oldCount < 0 || newCount < 0 ||
        oldCount > length_ - (pos - 1) || (newCount > 0 && !s))
        return unchanged(ecRegionTooLarge);
    const int p = pos - 1;
    const int e = newCount - oldCount;
    if (e > 0 && length_ + e + 1 > kMaxCapacity) return unchanged(ecOutOfMemory);
    std::string own; // characters taken from this very paragraph
    if (newCount > 0 && PointsInto(s, GetText(), TextCapacity())) {
        try {
            own.assign(s, static_cast<size_t>(newCount));
        } catch (const std::bad_alloc&) {
            return unchanged(ecOutOfMemory);
        }
        s = own.data();
    }
    if (e > 0 && !EnsureTextCapacity(static_cast<uint16_t>(length_ + e + 1)))
        return unchanged(ecOutOfMemory);

    char* text = Text();
    int32_t f1 = 32767, l1 = 0;
    bool wrapped = true;
    const int32_t countBefore = LineCount();
    if (oldCount > 0 && newCount > 0) {
        const int f = std::min(oldCount, newCount);
        std::memcpy(text + p, s, static_cast<size_t>(f));
        wrapped = UpdateWrap(wrapWidth, tabSize, p, 0, f, f1, l1);
    }
    if (e < 0) {
        const int from = p + oldCount;
        std::memmove(text + p + newCount, text + from, static_cast<size_t>(length_ - from) + 1);
    } else if (e > 0) {
        const int at = p + oldCount;
        std::memmove(text + at + e, text + at, static_cast<size_t>(length_ - at) + 1);
        std::memcpy(text + at, s + oldCount, static_cast<size_t>(e));
    }
    if (e != 0) {
        length_ = static_cast<uint16_t>(length_ + e);
        if (!wrapped) {
            // The table is short already: make it consistent with the new text.
            Rebreak(wrapWidth, tabSize);
            firstLine = 1;
            lastLine = LineCount();
            return ecSuccess;
        }
        // The length changes after the overwritten part, not at p.
        int32_t f2 = 0, l2 = 0;
        const int32_t countBetween = LineCount();
        UpdateWrap(wrapWidth, tabSize, p + std::min(oldCount, newCount), e, 0, f2, l2);
        firstLine = std::min(f1, f2);
        lastLine = std::max(l1, l2);
        // Lines the overwrite moved and the length change moved back show up in neither
        // range, although the text at the end may now break differently: repaint to the
        // end whenever the first step changed the number of lines.
        if (countBetween != countBefore) lastLine = std::max({lastLine, countBefore, LineCount()});
    } else {
        firstLine = f1;
        lastLine = l1;
    }
    return ecSuccess;
}

int TParaNode::TrimTrailing() {
    if (!HasBuffer()) return 0;
    char* text = Text();
    int n = length_;
    while (n > 0 && IsBlank(text[n - 1]))
        --n;
    const int removed = length_ - n;
    text[n] = '\0';
    length_ = static_cast<uint16_t>(n);
    return removed;
}

int TParaNode::TrailingBlanks(int n) const {
    if (!HasBuffer()) return 0;
    const char* text = GetText();
    int i = std::min(n, static_cast<int>(length_));
    int count = 0;
    while (i > 0 && IsBlank(text[i - 1])) {
        --i;
        ++count;
    }
    return count;
}

void* TParaNode::operator new(std::size_t size) {
    if (void* p = PoolAlloc(size)) return p;
    throw ETextOutOfMemory();
}

void TParaNode::operator delete(TParaNode* p, std::destroying_delete_t) noexcept {
    p->~TParaNode();
    TextFree(p);
}

void TParaNode::operator delete(void* p) noexcept { TextFree(p); }
