#include "text/TextHelpers.h"

#include <cstring>

namespace {
// Tab sizes run from 1 to 255: below 1 would divide by zero, and far above could
// overflow the cell count.
inline int SafeTab(int tabSize) {
    return tabSize < 1 ? 1 : tabSize > 255 ? 255 : tabSize;
}
inline int NextTabStop(int cell, int tabSize) {
    return (cell / tabSize + 1) * tabSize;
}
} // namespace

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

bool IsBreakChar(char ch) {
    return ch == ' ' || ch == '\t' || ch == '-';
}

bool HasTab(const char* s, int len) {
    return len > 0 && std::memchr(s, '\t', static_cast<size_t>(len)) != nullptr;
}

int TextWidth(const char* s, int len, int tabSize) {
    const int tab = SafeTab(tabSize);
    int cell = 0;
    for (int i = 0; i < len && s[i] != '\0'; ++i)
        cell = s[i] == '\t' ? NextTabStop(cell, tab) : cell + 1;
    return cell;
}

int CharsInWidth(const char* s, int width, int tabSize) {
    const int tab = SafeTab(tabSize);
    int cell = 0;
    for (int count = 0;; ++count) {
        const char ch = s[count];
        if (ch == '\0') return count + 1;
        cell = ch == '\t' ? NextTabStop(cell, tab) : cell + 1;
        if (cell >= width) return count + 1;
    }
}

const char* FindBreak(const char* s, int fit) {
    if (s[fit] == '\0') return s + fit;
    for (int k = fit; k >= 0; --k) {
        const char ch = s[k];
        if (ch == ' ' || ch == '\t' || ch == '-') {
            // Blanks stay at the end of the line; so does a hyphen, with any blanks after it.
            int next = ch == '-' ? k + 1 : k;
            while (IsBlank(s[next]))
                ++next;
            return s + next;
        }
    }
    return s + fit; // one long word: cut it hard
}

int WordBreakLen(const char* s, int limit) {
    if (limit <= 0) return 0;
    // Never look past the terminator, and never cut more than the text holds.
    const void* end = std::memchr(s, '\0', static_cast<size_t>(limit));
    const int n = end ? static_cast<int>(static_cast<const char*>(end) - s) : limit;
    for (int k = n - 1; k >= 0; --k)
        if (IsBlank(s[k])) return k + 1;
    return n;
}

int LineBreakLen(const char* s, int len) {
    if (len <= 0) return 0;
    const void* lf = std::memchr(s, '\n', static_cast<size_t>(len));
    return lf ? static_cast<int>(static_cast<const char*>(lf) - s) + 1 : len;
}

void PadTo(char* s, char ch, int n) {
    const int len = static_cast<int>(std::strlen(s));
    if (len >= n) return; // already long enough; its terminator stays where it is
    std::memset(s + len, ch, static_cast<size_t>(n - len));
    s[n] = '\0';
}
