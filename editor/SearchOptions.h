#pragma once
// The options of the editor's search and replace: one 8-bit set of flags.
#include <cstdint>

using TSearchOptions = uint8_t;

constexpr TSearchOptions soBackward = 2;      // toward the start of the text
constexpr TSearchOptions soMatchCase = 4;     // case-sensitive; else both sides upper-cased
constexpr TSearchOptions soGlobal = 8;        // from the text's first (or last) position
constexpr TSearchOptions soReplace = 16;      // replace the selected match, select the next
constexpr TSearchOptions soReplaceAll = 32;   // replace every match in the range
constexpr TSearchOptions soWholeWords = 64;   // a match touches no word character
constexpr TSearchOptions soSelectedOnly = 128; // only inside the selection
