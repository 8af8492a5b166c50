#pragma once
// Modal dialogs reached through one interface, so that tests answer them from a script
// (ScriptedDialogs.h) and never block. The process-wide provider is the Qt one unless a
// test replaces it.
#include <string>

#include "platform/Messages.h"

// Message box button sets, icons and default buttons.
constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
               MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
               MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
               MB_ICONINFORMATION = 0x40, MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFBUTTON1 = 0x000, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFMASK = 0xF00;
// Results.
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// The answer of a box closed without a choice (Escape): Cancel, or No, or the only button.
int MessageBoxCancelResult(UINT flags);

struct TFileDialogOptions {
    std::string Title;
    // "Text files (*.txt)|*.txt|All files (*)|*": description and pattern pairs;
    // several patterns of one pair are separated by ';'.
    std::string Filter;
    int FilterIndex = 1; // 1-based; the chosen one on return
    std::string InitialDir;
    std::string FileName; // initial name; the chosen file on return
    std::string DefaultExt; // added to a name typed without an extension (no dot)
    bool FileMustExist = false;
    bool OverwritePrompt = false;
};

struct TPrintDialogOptions {
    enum TRange { AllPages, PageNums, Selection };
    int Copies = 1;
    int FromPage = 1, ToPage = 1, MinPage = 1, MaxPage = 9999;
    bool AllowPageNums = false, AllowSelection = false;
    TRange PrintRange = AllPages; // the choice on return
    std::string PrinterName;      // the chosen printer on return
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Strings are bytes: text shows as UTF-8 when it is valid UTF-8, else as 1252.
    virtual int MessageBox(const std::string& text, const std::string& caption, UINT flags) = 0;
    // True with options.FileName set when the user chose a file.
    virtual bool OpenFileDialog(TFileDialogOptions& options) = 0;
    virtual bool SaveFileDialog(TFileDialogOptions& options) = 0;
    // True when the user asked to print; the options hold the choices.
    virtual bool PrintDialog(TPrintDialogOptions& options) = 0;
    virtual bool PrinterSetupDialog() = 0;
    // True with `value` replaced when the user confirmed.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
};

IDialogs& Dialogs();
// Replaces the provider (nullptr: back to the Qt one); returns the previous one.
IDialogs* SetDialogs(IDialogs* dialogs);

inline int MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    return Dialogs().MessageBox(text, caption, flags);
}
// The value typed, or `defaultValue` when the box was cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);

// Installs a provider for the lifetime of the object.
class TDialogsScope {
public:
    explicit TDialogsScope(IDialogs& dialogs) : previous_(SetDialogs(&dialogs)) {}
    ~TDialogsScope() { SetDialogs(previous_); }
    TDialogsScope(const TDialogsScope&) = delete;
    TDialogsScope& operator=(const TDialogsScope&) = delete;

private:
    IDialogs* previous_;
};
