#include "platform/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "platform/QtConvert.h"

namespace {
bool g_open = false;

QClipboard* Board() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}
} // namespace

BOOL OpenClipboard(HWND) {
    if (g_open || !Board()) return 0;
    g_open = true;
    return 1;
}

BOOL CloseClipboard() {
    if (!g_open) return 0;
    g_open = false;
    return 1;
}

BOOL EmptyClipboard() {
    if (!g_open) return 0;
    Board()->clear();
    return 1;
}

BOOL SetClipboardData(unsigned format, const std::string& text) {
    if (!g_open || format != CF_TEXT) return 0;
    const size_t end = text.find('\0');
    Board()->setText(Cp1252ToQString(std::string_view(text).substr(0, end)));
    return 1;
}

BOOL GetClipboardData(unsigned format, std::string& text) {
    if (!g_open || format != CF_TEXT) return 0;
    const QMimeData* data = Board()->mimeData();
    if (!data || !data->hasText()) return 0;
    // Text other programs put there may hold characters 1252 lacks; they read as '?'.
    text = QStringToCp1252(Board()->text(), '?');
    const size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return 1;
}

BOOL IsClipboardFormatAvailable(unsigned format) {
    if (format != CF_TEXT || !Board()) return 0;
    const QMimeData* data = Board()->mimeData();
    return data && data->hasText() ? 1 : 0;
}

BOOL SetClipboardText(const std::string& text) {
    if (!OpenClipboard(nullptr)) return 0;
    EmptyClipboard();
    const BOOL ok = SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    return ok;
}

BOOL GetClipboardText(std::string& text) {
    if (!OpenClipboard(nullptr)) return 0;
    const BOOL ok = GetClipboardData(CF_TEXT, text);
    CloseClipboard();
    return ok;
}
