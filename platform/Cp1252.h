#pragma once
// The Windows-1252 code page: the byte code page of the whole program. Every byte value
// 1..255 maps to a distinct Unicode code point, so bytes survive a trip through Unicode
// (the five positions 1252 leaves undefined map to the C1 controls of the same value).
#include <cstdint>
#include <string>
#include <string_view>

// The Unicode code point of byte b.
char16_t Cp1252ToUnicode(uint8_t b);
// The byte of code point u, or -1 when 1252 has none.
int UnicodeToCp1252(char32_t u);

// Whole strings. Unmappable code points become `replacement` (0 drops them).
std::u16string Cp1252ToUtf16(std::string_view bytes);
std::string Utf16ToCp1252(std::u16string_view text, char replacement = '?');
