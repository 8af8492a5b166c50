#pragma once
// Finding a byte pattern in a text: Boyer-Moore-Horspool, exact or upper-cased, and a
// prepared pattern that scans many short texts fast.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Patterns and replacements are cut to this many characters (their length is 8-bit).
constexpr int kMaxPatternLength = 255;

// How far the search window moves for each byte seen at its end.
using TSkipTable = std::array<uint8_t, 256>;
// The upper case of every byte by the platform's single-byte conversion.
using TCaseTable = std::array<uint8_t, 256>;

const TCaseTable& UpperCaseTable();
// Every byte skips n = min(length, 255); a byte at index i < n - 1 skips n - 1 - i, the
// last index of a repeated byte deciding.
TSkipTable MakeSkipTable(std::string_view pattern);

// The first occurrence of pattern lying wholly within text[0..textLen): its offset goes
// to `offset` and the result is true. An empty pattern never matches. FindUpperCase
// compares each text byte upper-cased and expects pattern and skip table upper-cased.
bool FindCaseSensitive(const char* text, int textLen, const TSkipTable& skip, int& offset,
                       std::string_view pattern);
bool FindUpperCase(const char* text, int textLen, const TSkipTable& skip, int& offset,
                   std::string_view pattern);

// A pattern prepared once for searching many texts (the paragraphs of a whole text). It
// finds exactly what FindCaseSensitive and FindUpperCase find, but tests 16 positions at
// a time against the pattern's first and last byte, as a byte of text is more often
// far from any occurrence than near one.
class TPatternFinder {
public:
    // The pattern is cut to kMaxPatternLength and upper-cased unless matchCase.
    TPatternFinder(std::string_view pattern, bool matchCase);
    int Length() const { return int(pattern_.size()); }
    const std::string& Pattern() const { return pattern_; }
    // Offset of the first occurrence lying wholly within text[0..len), or -1.
    int Find(const char* text, int len) const;
    // Offset of the last occurrence lying wholly within text[0..len), or -1.
    int FindLast(const char* text, int len) const;

private:
    // The first occurrence, or with Reverse the last.
    template <bool Folded, bool Reverse> int Scan(const char* text, int len) const;
    // Whether the bytes between the first and the last match the pattern.
    template <bool Folded> bool MiddleMatches(const char* p) const;

    std::string pattern_;
    bool folded_;
    // The text bytes that match the first and the last pattern byte: at most two each
    // (a letter in either case); more would need the plain scan.
    uint8_t first_[2] = {}, last_[2] = {};
    bool paired_ = true;
};
