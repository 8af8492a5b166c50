#include "platform/Cp1252.h"

#include <array>

namespace {
// 0x80..0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

char16_t Cp1252ToUnicode(uint8_t b) {
    if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80];
    return char16_t(b);
}

int UnicodeToCp1252(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return int(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return 0x80 + i;
    return -1;
}

std::u16string Cp1252ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) out.push_back(Cp1252ToUnicode(uint8_t(c)));
    return out;
}

std::string Utf16ToCp1252(std::u16string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t u = text[i];
        // A surrogate pair is one code point (never in 1252); a lone surrogate is unmappable too.
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
            u = 0x10000;
        }
        int b = UnicodeToCp1252(u);
        if (b >= 0) out.push_back(char(b));
        else if (replacement) out.push_back(replacement);
    }
    return out;
}
