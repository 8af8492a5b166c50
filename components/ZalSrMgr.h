#pragma once
// Reader of the library's "STR0" message tables.
#include <cstdint>
#include <string>

// The text of library message `number` in the process's byte code page, or "Unknown"
// when the library table has no such number.
std::string LibraryMessage(int number);
