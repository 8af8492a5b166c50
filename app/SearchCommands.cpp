// The main window's search commands: Find, Find Next, Replace and Go to Line.
#include <charconv>
#include <exception>
#include <memory>
#include <string>

#include "app/Childwin.h"
#include "app/DlgFind.h"
#include "app/DlgRepl.h"
#include "app/Main.h"
#include "app/StdControls.h"
#include "editor/TextFileEditor.h"
#include "platform/Dialogs.h"

namespace {
void ShowNotFound(const std::string& text) {
    MessageBox("Search string '" + text + "' not found", "Information", MB_OK | MB_ICONINFORMATION);
}

// A whole decimal integer, optionally signed, with blanks allowed before it; false for
// anything else, an overflow included.
bool ParseLineNumber(const std::string& text, int32_t& value) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return false;
    if (text[start] == '+') ++start;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + start, end, value);
    return error == std::errc() && stop == end;
}
} // namespace

void TMainForm::Find1Click(TComponent*) {
    if (!ActiveDocument()) return;
    if (FindDlg->ShowModal() != mrOk) return;
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    const std::string text = FindDlg->Edit1->Text();
    if (!child->EditBox->Search(text, FindDlg->Options(true))) ShowNotFound(text);
    Search1Click(this);
}

void TMainForm::FindNext1Click(TComponent*) {
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    const std::string text = FindDlg->Edit1->Text();
    if (!child->EditBox->Search(text, FindDlg->Options(false))) ShowNotFound(text);
}

void TMainForm::Replace1Click(TComponent*) {
    if (!ActiveDocument()) return;
    // Freed at the end of the command, also when a step raises.
    const std::unique_ptr<TReplDlg> dialog(NewComponent<TReplDlg>(this));
    const int result = dialog->ShowModal();
    if (result != mrOk && result != mrYes) return;
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    TZalCustomEditor& editor = *child->EditBox;
    const std::string find = dialog->Edit1->Text(), with = dialog->Edit2->Text();
    TSearchOptions options = dialog->Options(result);
    const bool forward = !(options & soBackward);

    int32_t found = editor.Replace(find, with, options);
    // Global scope picks where the first search starts; every later step goes on from the
    // caret, or a declined occurrence would be found again and again.
    options &= TSearchOptions(~soGlobal);
    bool cancelled = false;
    while (found != -1 && editor.SelectionExists()) {
        switch (MessageBox("Replace this occurrence?", "Confirm", MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: found = editor.Replace(find, with, options); break;
        case IDNO:
            editor.DeselectAll(forward);
            found = editor.Replace(find, with, options);
            break;
        default:
            cancelled = true;
            editor.DeselectAll(forward);
            found = -1;
            break;
        }
    }
    if (found == -1 && !cancelled) ShowNotFound(find);
    Search1Click(this);
}

void TMainForm::GotoLine1Click(TComponent*) {
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    TZalCustomEditor& editor = *child->EditBox;
    std::string value = "1";
    const std::string prompt = "Enter Line Number (1 to " + std::to_string(editor.LineCount()) + ")";
    if (!Dialogs().InputQuery("Go to Line Number", prompt, value)) return;
    int32_t line = 0;
    if (!ParseLineNumber(value, line)) return;
    try {
        editor.SetCaretPosition(line, 1);
    } catch (const std::exception&) {
        // A line outside the text leaves the caret where it was, without a word.
    }
}
