#include "components/Cp1252.h"

namespace {
// Code points of the bytes 0x80..0x9F; the others equal their byte.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t Unit(const uint8_t* data, size_t k) {
    return static_cast<char16_t>(data[2 * k] | (data[2 * k + 1] << 8));
}
} // namespace

int UnicodeToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] == cp) return 0x80 + k;
    return -1;
}

std::string Utf16LeToCp1252(const uint8_t* data, size_t units) {
    std::string out;
    out.reserve(units);
    for (size_t k = 0; k < units; ++k) {
        const char16_t u = Unit(data, k);
        char32_t cp = u;
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const char16_t low = Unit(data, k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00);
                ++k;
            }
        }
        const int byte = UnicodeToCp1252(cp);
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return out;
}
