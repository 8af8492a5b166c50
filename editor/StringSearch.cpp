// Boyer-Moore-Horspool search and the prepared pattern that filters 16 positions at a time.
#include "editor/StringSearch.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/TextServices.h"

namespace {

struct TExact {
    static uint8_t Fold(uint8_t c) { return c; }
};
struct TUpper {
    const TCaseTable& up = UpperCaseTable();
    uint8_t Fold(uint8_t c) const { return up[c]; }
};

template <class Fold>
bool Horspool(const char* text, int textLen, const TSkipTable& skip, int& offset,
              std::string_view pattern, const Fold& fold) {
    const int n = int(std::min<size_t>(pattern.size(), kMaxPatternLength));
    if (n == 0 || textLen < n) return false;
    const auto* t = reinterpret_cast<const uint8_t*>(text);
    const auto* p = reinterpret_cast<const uint8_t*>(pattern.data());
    if (n == 1) {
        for (int i = 0; i < textLen; ++i)
            if (fold.Fold(t[i]) == p[0]) {
                offset = i;
                return true;
            }
        return false;
    }
    const uint8_t lastByte = p[n - 1];
    for (int end = n - 1; end < textLen;) {
        const uint8_t c = fold.Fold(t[end]);
        if (c == lastByte) {
            int k = n - 2;
            while (k >= 0 && fold.Fold(t[end - (n - 1) + k]) == p[k]) --k;
            if (k < 0) {
                offset = end - (n - 1);
                return true;
            }
        }
        end += skip[c];
    }
    return false;
}

} // namespace

const TCaseTable& UpperCaseTable() {
    static const TCaseTable table = [] {
        TCaseTable t{};
        for (int b = 0; b < 256; ++b) t[size_t(b)] = CharUpper1252(uint8_t(b));
        return t;
    }();
    return table;
}

TSkipTable MakeSkipTable(std::string_view pattern) {
    const int n = int(std::min<size_t>(pattern.size(), kMaxPatternLength));
    TSkipTable skip;
    skip.fill(uint8_t(n));
    for (int i = 0; i < n - 1; ++i) skip[uint8_t(pattern[size_t(i)])] = uint8_t(n - 1 - i);
    return skip;
}

bool FindCaseSensitive(const char* text, int textLen, const TSkipTable& skip, int& offset,
                       std::string_view pattern) {
    return Horspool(text, textLen, skip, offset, pattern, TExact{});
}

bool FindUpperCase(const char* text, int textLen, const TSkipTable& skip, int& offset,
                   std::string_view pattern) {
    return Horspool(text, textLen, skip, offset, pattern, TUpper{});
}

// --- the prepared pattern ------------------------------------------------------------------

TPatternFinder::TPatternFinder(std::string_view pattern, bool matchCase)
    : pattern_(pattern.substr(0, kMaxPatternLength)), folded_(!matchCase) {
    if (pattern_.empty()) return;
    const TCaseTable& up = UpperCaseTable();
    if (folded_)
        for (char& c : pattern_) c = char(up[uint8_t(c)]);
    // The text bytes that stand for a pattern byte: itself, or every byte whose upper
    // case it is.
    auto variants = [&](uint8_t u, uint8_t (&out)[2]) {
        int count = 0;
        for (int b = 0; b < 256; ++b)
            if ((folded_ ? up[size_t(b)] : uint8_t(b)) == u) {
                if (count == 2) return false;
                out[count++] = uint8_t(b);
            }
        if (count == 1) out[1] = out[0];
        return true;
    };
    paired_ = variants(uint8_t(pattern_.front()), first_) && variants(uint8_t(pattern_.back()), last_);
}

int TPatternFinder::Find(const char* text, int len) const {
    return folded_ ? Scan<true, false>(text, len) : Scan<false, false>(text, len);
}

int TPatternFinder::FindLast(const char* text, int len) const {
    return folded_ ? Scan<true, true>(text, len) : Scan<false, true>(text, len);
}

template <bool Folded> bool TPatternFinder::MiddleMatches(const char* p) const {
    const int n = Length();
    if constexpr (!Folded) {
        return n <= 2 || std::memcmp(p + 1, pattern_.data() + 1, size_t(n - 2)) == 0;
    } else {
        const TCaseTable& up = UpperCaseTable();
        for (int k = 1; k < n - 1; ++k)
            if (up[uint8_t(p[k])] != uint8_t(pattern_[size_t(k)])) return false;
        return true;
    }
}

#ifdef __SSE2__
namespace {
// Tests 16 positions at once: bit k of the mask is set when position at + k holds a
// variant of the pattern's first byte and its last byte a variant of the last one.
template <bool Folded> class TBlockFilter {
public:
    TBlockFilter(const uint8_t (&first)[2], const uint8_t (&last)[2], int length)
        : f0_(_mm_set1_epi8(char(first[0]))), f1_(_mm_set1_epi8(char(first[1]))),
          l0_(_mm_set1_epi8(char(last[0]))), l1_(_mm_set1_epi8(char(last[1]))), lastAt_(length - 1) {}
    uint32_t operator()(const uint8_t* t, int at) const {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + at + lastAt_));
        __m128i ea = _mm_cmpeq_epi8(a, f0_), eb = _mm_cmpeq_epi8(b, l0_);
        if constexpr (Folded) {
            ea = _mm_or_si128(ea, _mm_cmpeq_epi8(a, f1_));
            eb = _mm_or_si128(eb, _mm_cmpeq_epi8(b, l1_));
        }
        return uint32_t(_mm_movemask_epi8(_mm_and_si128(ea, eb)));
    }

private:
    __m128i f0_, f1_, l0_, l1_;
    int lastAt_;
};
} // namespace
#endif

template <bool Folded, bool Reverse> int TPatternFinder::Scan(const char* text, int len) const {
    const int n = Length();
    const int starts = len - n + 1; // positions an occurrence may start at
    if (n == 0 || starts <= 0) return -1;
    const auto* t = reinterpret_cast<const uint8_t*>(text);
#ifdef __SSE2__
    if (starts >= 16 && paired_) {
        const TBlockFilter<Folded> filter(first_, last_, n);
        // The candidates of a mask in the search's order: lowest bit first, or highest.
        auto verify = [&](int at, uint32_t mask) {
            while (mask) {
                const int bit = Reverse ? 31 - __builtin_clz(mask) : __builtin_ctz(mask);
                if (MiddleMatches<Folded>(text + at + bit)) return at + bit;
                mask &= ~(1u << bit);
            }
            return -1;
        };
        // Whole blocks, then one more that overlaps the last of them, its positions
        // already tested masked off.
        if constexpr (!Reverse) {
            int i = 0;
            for (; i + 16 <= starts; i += 16)
                if (const uint32_t mask = filter(t, i))
                    if (const int k = verify(i, mask); k >= 0) return k;
            if (i == starts) return -1;
            const int at = starts - 16;
            return verify(at, filter(t, at) & (0xFFFFu << (i - at)));
        } else {
            int i = starts; // positions below i are untested
            for (; i >= 16; i -= 16)
                if (const uint32_t mask = filter(t, i - 16))
                    if (const int k = verify(i - 16, mask); k >= 0) return k;
            if (i == 0) return -1;
            return verify(0, filter(t, 0) & ((1u << i) - 1));
        }
    }
#endif
    [[maybe_unused]] const TCaseTable& up = UpperCaseTable();
    const uint8_t first = uint8_t(pattern_.front()), last = uint8_t(pattern_.back());
    for (int j = 0; j < starts; ++j) {
        const int i = Reverse ? starts - 1 - j : j;
        uint8_t a = t[i], b = t[i + n - 1];
        if constexpr (Folded) {
            a = up[a];
            b = up[b];
        }
        if (a == first && b == last && MiddleMatches<Folded>(text + i)) return i;
    }
    return -1;
}
