// The main window's Print command: the active document, or its selected lines, as plain
// text in the editor's font.
#include <algorithm>
#include <cstring>
#include <string>

#include "app/Childwin.h"
#include "app/CommonDialogs.h"
#include "app/Main.h"
#include "app/PrinterText.h"
#include "components/Font.h"
#include "editor/TextFileEditor.h"
#include "platform/QtDialogs.h"
#include "text/ParaList.h"

namespace {
// Printed lines are cut to this many characters.
constexpr int32_t kPrintLineLength = 1024;

// The printed width of the first `chars` characters of display line `line`, whose tabs
// the printed line has expanded: a selection column counts characters, and this is where
// that character stands on paper.
size_t PrintedColumn(TZalCustomEditor& editor, int32_t line, int32_t chars) {
    const char* text = nullptr;
    int len = 0;
    editor.ParaList().GetLineText(line, text, len);
    const size_t tab = size_t(std::max(1, int(editor.TabSize())));
    size_t column = 0;
    for (int i = 0; i < std::min(chars, int32_t(len)); ++i) column = text[i] == '\t' ? (column / tab + 1) * tab : column + 1;
    return column;
}

// Display line `line` as printed: tabs expanded, at most kPrintLineLength characters.
std::string PrintableLine(TZalCustomEditor& editor, int32_t line) {
    char buffer[kPrintLineLength + 1];
    editor.GetPrintableLine(line, buffer, kPrintLineLength);
    return std::string(buffer, std::strlen(buffer));
}
} // namespace

void TMainForm::Print1Click(TComponent*) {
    TMDIChild* child = ActiveDocument();
    if (!child) return;
    TZalCustomEditor& editor = *child->EditBox;
    int32_t line1 = 0, col1 = 0, line2 = 0, col2 = 0;
    const bool selection = editor.GetSelection(line1, col1, line2, col2);
    if (selection)
        PrintDialog1->Options |= 1u << poSelection;
    else
        PrintDialog1->Options &= ~(1u << poSelection);
    if (!selection && PrintDialog1->PrintRange == prSelection) PrintDialog1->PrintRange = prAllPages;
    if (!PrintDialog1->Execute()) return;

    TPrinterText printer(SharedPrinter(), FontDescOf(editor.FixedFont().Font()), editor.FixedFont().Color());
    // A selection range without a selection (the dialog's own choice) prints everything.
    if (selection && PrintDialog1->PrintRange == prSelection) {
        for (int32_t line = line1; line <= line2; ++line) {
            std::string text = PrintableLine(editor, line);
            // Cut the end first: blanking the start never changes the length.
            if (line == line2) text.resize(std::min(text.size(), PrintedColumn(editor, line, col2 - 1)));
            if (line == line1) std::fill_n(text.begin(), std::min(text.size(), PrintedColumn(editor, line, col1 - 1)), ' ');
            printer.WriteLine(text);
        }
    } else {
        for (int32_t line = 1, count = editor.LineCount(); line <= count; ++line) printer.WriteLine(PrintableLine(editor, line));
    }
    printer.Close();
}
