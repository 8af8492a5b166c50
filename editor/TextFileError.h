#pragma once
// The error a text file operation raises when the system refuses it.
#include <string>
#include <string_view>

// Raises EInOutError "<action> '<fileName>': <the system's reason>" carrying err.
[[noreturn]] void RaiseFileError(std::string_view action, const std::string& fileName, int err);
