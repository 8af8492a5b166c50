#pragma once
// Character and text helpers shared by the text store and the editor.
// Characters are single bytes; texts are zero-terminated.
#include <cstdint>

// Space or tab.
bool IsBlank(char ch);
// A break character for wrapping: space, tab or hyphen.
bool IsBreakChar(char ch);
// Whether a tab occurs among the first len characters of s.
bool HasTab(const char* s, int len);
// Tab sizes below 1 count as 1, above 255 as 255.
// Screen cells taken by the first len characters of s (stopping at the terminator),
// every tab extended to the next multiple of tabSize.
int TextWidth(const char* s, int len, int tabSize);
// Characters counted from s until the cell count reaches or passes width; the number
// before the terminator plus 1 when the terminator comes first.
int CharsInWidth(const char* s, int width, int tabSize);
// Start of the display line after the one that begins at s and fits fit characters.
const char* FindBreak(const char* s, int fit);
// Length of the piece to cut from s so that it stays within limit characters:
// up to and including the last blank among the first limit, or limit (the text's
// length when the text ends before limit characters).
int WordBreakLen(const char* s, int limit);
// Characters up to and including the first line feed among the first len, or len.
int LineBreakLen(const char* s, int len);
// Appends ch to the zero-terminated s until it is n characters long, then terminates it.
void PadTo(char* s, char ch, int n);
