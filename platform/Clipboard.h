#pragma once
// The clipboard in the CF_TEXT format: a zero-terminated byte string in Windows-1252,
// kept on the system clipboard as plain text (each byte mapped through the 1252 table,
// so every byte 1..255 comes back as it went in).
#include <string>

#include "platform/Types.h"

constexpr unsigned CF_TEXT = 1;

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Needs an open clipboard. The text ends at its first zero byte, if any.
BOOL SetClipboardData(unsigned format, const std::string& text);
// Needs an open clipboard; false when the clipboard holds no text.
BOOL GetClipboardData(unsigned format, std::string& text);
BOOL IsClipboardFormatAvailable(unsigned format);

// One-call forms that open and close the clipboard themselves.
BOOL SetClipboardText(const std::string& text);
BOOL GetClipboardText(std::string& text);
