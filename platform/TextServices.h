#pragma once
// Byte-string services in the program's code page (Windows-1252).
#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

// Upper and lower case of one byte (a-z, the accented letters, š œ ž ÿ); other bytes,
// ß and µ included, stay as they are.
uint8_t CharUpper1252(uint8_t c);
uint8_t CharLower1252(uint8_t c);
void CharUpperBuff(char* text, size_t length);
// Whether a byte is a letter of 1252 (ª and º count, as they are letters).
bool IsCharAlpha1252(uint8_t c);

// printf-style formatting into a std::string.
std::string FormatStr(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string wvsprintf(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// UTF-16 to bytes, '?' for what 1252 cannot hold; and back.
std::string WideCharToMultiByte(std::u16string_view text);
std::u16string MultiByteToWideChar(std::string_view bytes);
