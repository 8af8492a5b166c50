// A running shell with a way to open a new document holding a given text.
#pragma once
#include <string>

#include "ShellTest.h"
#include "app/Childwin.h"
#include "app/Menus.h"
#include "editor/TextFileEditor.h"

class TDocumentTest : public TShellTest {
protected:
    // A new document holding `text` (lines separated by CR LF), the caret at its start,
    // and the Search menu opened once, as the user would before searching.
    TZalCustomEditor& Document(const std::string& text) {
        Main().FileNewItem->Click();
        ProcessPendingEvents();
        TZalCustomEditor& editor = *Main().ActiveDocument()->EditBox;
        editor.InsertText(text);
        editor.SetCaretPosition(1, 1);
        Main().Search1->Click();
        return editor;
    }
};
