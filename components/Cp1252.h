#pragma once
// Unicode to the program's byte code page, Windows-1252.
#include <cstddef>
#include <cstdint>
#include <string>

// The Windows-1252 byte of code point `cp`, or -1 when the code page has none. The five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control
// characters of the same value, so that every byte round-trips.
int UnicodeToCp1252(char32_t cp);

// Converts `units` UTF-16 little-endian code units starting at `data` (any alignment).
// A surrogate pair is one character; characters without a byte, and lone surrogates,
// become '?'.
std::string Utf16LeToCp1252(const uint8_t* data, size_t units);
