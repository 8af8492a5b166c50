#pragma once
// What the user is told after opening a file whose load changed lines: saving will write
// them differently. Splits, zero bytes, dropped text after an end-of-file mark and mixed
// line ends go into a message box once, right after opening; trimmed trailing blanks, which
// many files have, only into the hint line.
#include <cstdint>
#include <string>

#include "editor/TextFileLoader.h"

// The text of the message box, or "" when nothing of that kind changed.
std::string LoadChangesMessage(const std::string& fileName, const TLoadReport& report, int32_t paraLengthLimit);
// The hint line's note on trimmed lines, or "" when none were trimmed.
std::string LoadTrimHint(const std::string& fileName, const TLoadReport& report);
