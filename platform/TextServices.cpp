#include "platform/TextServices.h"

#include <QChar>
#include <array>
#include <cstdio>

#include "platform/Cp1252.h"

namespace {
struct TTables {
    std::array<uint8_t, 256> upper{}, lower{};
    std::array<bool, 256> alpha{};
    TTables() {
        for (int b = 0; b < 256; ++b) {
            upper[b] = lower[b] = uint8_t(b);
            if (b == 0) continue;
            const QChar ch(Cp1252ToUnicode(uint8_t(b)));
            alpha[b] = ch.isLetter();
            const int up = UnicodeToCp1252(ch.toUpper().unicode());
            const int low = UnicodeToCp1252(ch.toLower().unicode());
            if (up > 0) upper[b] = uint8_t(up);
            if (low > 0) lower[b] = uint8_t(low);
        }
    }
};

const TTables& Tables() {
    static const TTables tables;
    return tables;
}
} // namespace

uint8_t CharUpper1252(uint8_t c) { return Tables().upper[c]; }
uint8_t CharLower1252(uint8_t c) { return Tables().lower[c]; }

void CharUpperBuff(char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) text[i] = char(CharUpper1252(uint8_t(text[i])));
}

bool IsCharAlpha1252(uint8_t c) { return Tables().alpha[c]; }

std::string wvsprintf(const char* format, va_list args) {
    if (!format) return std::string();
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return std::string();
    std::string out(size_t(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(size_t(n));
    return out;
}

std::string FormatStr(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string s = wvsprintf(format, args);
    va_end(args);
    return s;
}

std::string WideCharToMultiByte(std::u16string_view text) { return Utf16ToCp1252(text, '?'); }
std::u16string MultiByteToWideChar(std::string_view bytes) { return Cp1252ToUtf16(bytes); }
