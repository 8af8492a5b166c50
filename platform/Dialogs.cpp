#include "platform/Dialogs.h"

#include "platform/QtDialogs.h"

namespace {
IDialogs* g_current = nullptr;
} // namespace

int MessageBoxCancelResult(UINT flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;
    }
}

IDialogs& Dialogs() {
    if (g_current) return *g_current;
    return QtDialogs();
}

IDialogs* SetDialogs(IDialogs* dialogs) {
    IDialogs* previous = g_current;
    g_current = dialogs;
    return previous;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
    std::string value = defaultValue;
    if (!Dialogs().InputQuery(caption, prompt, value)) return defaultValue;
    return value;
}
