#pragma once
// A document window: one text file in an editor, with its controller, the status row
// (position, size, modified mark, insert or overwrite, read-only mark) and the pop-up menu.
#include <cstdint>

#include "app/ShellForm.h"

class TMenuItem;
class TPanel;
class TPopupMenu;
class TZalController;
class TZalTextFileEditor;

class TMDIChild : public TShellForm {
public:
    // Built from the stored description, as a child of the main window's MDI area.
    explicit TMDIChild(TComponent* owner);
    ~TMDIChild() override;
    const char* ClassName() const override { return "TMDIChild"; }

    // The components the description holds.
    TZalTextFileEditor* EditBox = nullptr;
    TZalController* ZalController1 = nullptr;
    TPanel *Panel1 = nullptr, *pnLinePos = nullptr, *pnSize = nullptr, *pnStatusBar = nullptr,
           *pnModified = nullptr, *pnMode = nullptr, *pnReadOnly = nullptr;
    TPopupMenu* Pop = nullptr;
    TMenuItem *Undo1 = nullptr, *Redo1 = nullptr, *Cut1 = nullptr, *Copy1 = nullptr, *Paste1 = nullptr,
              *ReadOnly1 = nullptr;

    // Handlers, bound by the description.
    void FormShow(TComponent* Sender);
    void FormClose(TComponent* Sender, TCloseAction& Action);
    // A modified document asks "Save Changes?": Yes saves (a failed save keeps the window
    // open and reaches the error report), No drops the changes, Cancel keeps the window.
    void FormCloseQuery(TComponent* Sender, bool& CanClose);
    // The caret's line and visual column, the text size, the modified mark and the mode
    // into the status row.
    void EditBoxShowStatus(TComponent* Sender, int32_t LineNum, int32_t ColNum);

    // True while the text is only the part of its file (perhaps none) read before loading
    // failed: saving it under that name would cut the file short, so it is saved only under
    // a name the user chooses (Save As), which clears this.
    bool PartialText = false;

protected:
    void BindComponents() override;
};
