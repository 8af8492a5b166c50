#include "text/ParaNode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "text/BlockPool.h"
#include "text/TextAlloc.h"

namespace {
const char kEmptyText[] = "";
constexpr int kMaxCapacity = 0xFFFF; // capacities are 16-bit

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

TParaNode::TParaNode(const char* text, uint16_t len, int wrapWidth, int tabSize) {
    // Copy up to the first zero byte: a length beyond it would leave bytes inside the
    // text that were never written.
    int n = 0;
    if (text && len > 0) {
        const void* zero = std::memchr(text, '\0', len);
        n = zero ? static_cast<int>(static_cast<const char*>(zero) - text) : len;
    }
    if (n + 1 > kMaxCapacity) throw ETextOutOfMemory();
    if (n > 0) {
        const int cap = RoundCapacity(n + 1, 8);
        text_ = static_cast<char*>(TextAlloc(static_cast<size_t>(cap)));
        if (!text_) throw ETextOutOfMemory();
        textCapacity_ = static_cast<uint16_t>(cap);
        std::memcpy(text_, text, static_cast<size_t>(n));
        text_[n] = '\0';
        length_ = static_cast<uint16_t>(n);
    }
    const uint16_t lines = EstimateLines(length_, wrapWidth);
    if (lines > 1) {
        auto* table = static_cast<uint16_t*>(TextAlloc(lines * sizeof(uint16_t)));
        if (!table) {
            FreeBuffers();
            throw ETextOutOfMemory();
        }
        std::memset(table, 0, lines * sizeof(uint16_t));
        lines_.table = table;
        lineCapacity_ = lines;
    }
    if (!Rebreak(wrapWidth, tabSize)) {
        FreeBuffers();
        throw ETextOutOfMemory();
    }
}

TParaNode::~TParaNode() {
    FreeBuffers();
}

void TParaNode::FreeBuffers() noexcept {
    if (text_) TextFree(text_, textCapacity_);
    text_ = nullptr;
    textCapacity_ = 0;
    if (OwnsLineTable()) TextFree(lines_.table, lineCapacity_ * sizeof(uint16_t));
    lines_.single = 0;
    lineCapacity_ = 1;
}

const char* TParaNode::GetText() const {
    return text_ ? text_ : kEmptyText;
}

uint16_t TParaNode::LineStart(int32_t line) const {
    return line >= 1 && line <= lineCount_ ? Starts()[line - 1] : 0;
}

const char* TParaNode::GetLine(int32_t index, uint16_t& len) const {
    if (index < 1 || index > lineCount_) {
        len = 0;
        return kEmptyText;
    }
    if (lineCount_ == 1) {
        len = length_;
        return GetText();
    }
    const uint16_t* st = Starts();
    const int start = st[index - 1];
    const int end = index < lineCount_ ? st[index] : length_;
    len = static_cast<uint16_t>(end > start ? end - start : 0);
    return GetText() + std::min(start, static_cast<int>(length_));
}

int32_t TParaNode::PosToLine(int pos, int& col) const {
    if (lineCount_ <= 1) {
        col = pos;
        return 1;
    }
    const uint16_t* st = Starts();
    const int32_t n = lineCount_;
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
    if (textCapacity_ >= n) return true;
    const int cap = RoundCapacity(n, 16);
    auto* buffer = static_cast<char*>(TextAlloc(static_cast<size_t>(cap)));
    if (!buffer) return false;
    if (text_) {
        std::memcpy(buffer, text_, static_cast<size_t>(length_) + 1);
        TextFree(text_, textCapacity_);
    } else {
        buffer[0] = '\0';
    }
    text_ = buffer;
    textCapacity_ = static_cast<uint16_t>(cap);
    return true;
}

bool TParaNode::EnsureLineCapacity(int32_t n) {
    if (n > kMaxCapacity) return false;
    const int target = std::max(8, RoundCapacity(n, 8));
    if (lineCapacity_ >= target) return true;
    auto* table = static_cast<uint16_t*>(TextAlloc(static_cast<size_t>(target) * sizeof(uint16_t)));
    if (!table) return false;
    std::memcpy(table, Starts(), lineCapacity_ * sizeof(uint16_t));
    std::memset(table + lineCapacity_, 0, (target - lineCapacity_) * sizeof(uint16_t));
    if (OwnsLineTable()) TextFree(lines_.table, lineCapacity_ * sizeof(uint16_t));
    lines_.table = table;
    lineCapacity_ = static_cast<uint16_t>(target);
    return true;
}

void TParaNode::Rewrap(int wrapWidth, int tabSize) {
    Rebreak(wrapWidth, tabSize);
}

bool TParaNode::Rebreak(int wrapWidth, int tabSize) {
    lineCount_ = 1;
    if (!Wraps(wrapWidth) || !text_) return true;
    // A failure here is not fatal yet: the loop below grows the table line by line.
    (void)EnsureLineCapacity(EstimateLines(length_, wrapWidth));
    const bool tabs = length_ > 0 && HasTab(text_, length_);
    int fit = tabs ? CharsInWidth(text_, wrapWidth, tabSize) : wrapWidth;
    const char* current = text_;
    int remaining = length_;
    while (fit < remaining) {
        const char* next = FindBreak(current, fit);
        remaining -= static_cast<int>(next - current);
        if (remaining <= 0) break;
        if (lineCount_ + 1 > lineCapacity_ && !EnsureLineCapacity(lineCount_ + 1))
            return false; // the last line so far runs to the end of the text
        Starts()[lineCount_++] = static_cast<uint16_t>(next - text_);
        fit = tabs ? CharsInWidth(next, wrapWidth, tabSize) : std::min(wrapWidth, remaining);
        current = next;
    }
    return true;
}

bool TParaNode::UpdateWrap(int wrapWidth, int tabSize, int p, int shift, int guard,
                           int32_t& firstLine, int32_t& lastLine) {
    int col = 0;
    const int32_t editLine = PosToLine(p + 1, col);
    if (!Wraps(wrapWidth) || !text_) {
        firstLine = lastLine = editLine;
        return true;
    }
    const int32_t oldCount = lineCount_;
    // The line before the edit may take up what the edit left at the start of its line.
    const int32_t s = editLine > 1 ? editLine - 1 : 1;
    const int startS = Starts()[s - 1];
    const char* current = text_ + startS;
    int remaining = length_ - startS;
    int fit = LineFit(current, remaining, wrapWidth, tabSize);
    int32_t first = 0, last = 0;
    int prevOld = startS, prevNew = startS;
    int32_t k = s;
    bool settled = false; // the rest of the table was shifted into place
    bool grown = true;
    while (remaining > fit) {
        const char* next = FindBreak(current, fit);
        remaining -= static_cast<int>(next - current);
        if (remaining <= 0) break;
        ++k;
        if (k > lineCapacity_ && !EnsureLineCapacity(k)) {
            grown = false;
            break;
        }
        uint16_t* st = Starts();
        const int now = static_cast<int>(next - text_);
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
                    lineCount_ = static_cast<uint16_t>(oldCount - 1);
                    ShiftStarts(st, k, lineCount_, shift);
                    settled = true;
                    break;
                }
                if (now == prevOld + shift && shift > 0 && now >= p + shift) {
                    // Line k, past the inserted text, begins where line k-1 began: the
                    // lines from it on are the old ones moved, one line more.
                    if (oldCount + 1 > lineCapacity_ && !EnsureLineCapacity(oldCount + 1)) {
                        grown = false;
                        break;
                    }
                    st = Starts();
                    std::memmove(st + k, st + k - 1,
                                 static_cast<size_t>(oldCount - k + 1) * sizeof(uint16_t));
                    st[k - 1] = static_cast<uint16_t>(now);
                    lineCount_ = static_cast<uint16_t>(oldCount + 1);
                    ShiftStarts(st, k + 1, lineCount_, shift);
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
        lineCount_ = static_cast<uint16_t>(k - 1);
        firstLine = s;
        lastLine = lineCount_;
        return false;
    }
    if (!settled) lineCount_ = static_cast<uint16_t>(k);
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
    if (count > 0 && PointsInto(s, text_, textCapacity_)) {
        try {
            own.assign(s, static_cast<size_t>(count));
        } catch (const std::bad_alloc&) {
            return unchanged(ecOutOfMemory);
        }
        s = own.data();
    }
    if (!EnsureTextCapacity(static_cast<uint16_t>(need))) return unchanged(ecOutOfMemory);
    const int oldLength = length_;
    if (p > length_) { // beyond the end: pad with spaces up to the insertion point
        std::memset(text_ + length_, ' ', static_cast<size_t>(p - length_));
        text_[p] = '\0';
        length_ = static_cast<uint16_t>(p);
    }
    std::memmove(text_ + p + count, text_ + p, static_cast<size_t>(length_ - p) + 1);
    if (count > 0) std::memcpy(text_ + p, s, static_cast<size_t>(count));
    length_ = static_cast<uint16_t>(length_ + count);
    if (!UpdateWrap(wrapWidth, tabSize, p, count, 0, firstLine, lastLine)) {
        // Take the insertion back; the old breaks fit the table as they did before.
        std::memmove(text_ + p, text_ + p + count, static_cast<size_t>(length_ - p - count) + 1);
        length_ = static_cast<uint16_t>(oldLength);
        text_[oldLength] = '\0';
        Rebreak(wrapWidth, tabSize);
        return unchanged(ecOutOfMemory);
    }
    return ecSuccess;
}

void TParaNode::DeleteChars(int pos, int count, int wrapWidth, int tabSize, int32_t& firstLine,
                            int32_t& lastLine) {
    if (!text_ || pos < 1 || pos > length_ || count <= 0) {
        int col = 0;
        firstLine = lastLine = PosToLine(pos, col);
        return;
    }
    const int p = pos - 1;
    if (count >= length_ - p) {
        text_[p] = '\0';
        length_ = static_cast<uint16_t>(p);
    } else {
        std::memmove(text_ + p, text_ + p + count, static_cast<size_t>(length_ - p - count) + 1);
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
    if (newCount > 0 && PointsInto(s, text_, textCapacity_)) {
        try {
            own.assign(s, static_cast<size_t>(newCount));
        } catch (const std::bad_alloc&) {
            return unchanged(ecOutOfMemory);
        }
        s = own.data();
    }
    if (e > 0 && !EnsureTextCapacity(static_cast<uint16_t>(length_ + e + 1)))
        return unchanged(ecOutOfMemory);

    int32_t f1 = 32767, l1 = 0;
    bool wrapped = true;
    const int32_t countBefore = LineCount();
    if (oldCount > 0 && newCount > 0) {
        const int f = std::min(oldCount, newCount);
        std::memcpy(text_ + p, s, static_cast<size_t>(f));
        wrapped = UpdateWrap(wrapWidth, tabSize, p, 0, f, f1, l1);
    }
    if (e < 0) {
        const int from = p + oldCount;
        std::memmove(text_ + p + newCount, text_ + from, static_cast<size_t>(length_ - from) + 1);
    } else if (e > 0) {
        const int at = p + oldCount;
        std::memmove(text_ + at + e, text_ + at, static_cast<size_t>(length_ - at) + 1);
        std::memcpy(text_ + at, s + oldCount, static_cast<size_t>(e));
    }
    if (e != 0) {
        length_ = static_cast<uint16_t>(length_ + e);
        if (!wrapped) {
            // The table is short already: make it consistent with the new text.
            Rebreak(wrapWidth, tabSize);
            firstLine = 1;
            lastLine = lineCount_;
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
    if (!text_) return 0;
    int n = length_;
    while (n > 0 && IsBlank(text_[n - 1]))
        --n;
    const int removed = length_ - n;
    text_[n] = '\0';
    length_ = static_cast<uint16_t>(n);
    return removed;
}

int TParaNode::TrailingBlanks(int n) const {
    if (!text_) return 0;
    int i = std::min(n, static_cast<int>(length_));
    int count = 0;
    while (i > 0 && IsBlank(text_[i - 1])) {
        --i;
        ++count;
    }
    return count;
}

void* TParaNode::operator new(std::size_t size) {
    if (void* p = PoolAlloc(size)) return p;
    throw ETextOutOfMemory();
}

void TParaNode::operator delete(void* p, std::size_t size) noexcept { PoolFree(p, size); }
