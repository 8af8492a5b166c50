// A document window: editor, controller, status row and pop-up menu.
#include "app/Childwin.h"

#include "app/ErrorReport.h"
#include "app/Menus.h"
#include "app/Panels.h"
#include "components/ZalBase.h"
#include "editor/TextFileEditor.h"
#include "platform/Dialogs.h"

TMDIChild::TMDIChild(TComponent* owner) : TShellForm(owner) {
    Publish<TNotifyEvent>("FormShow", &TMDIChild::FormShow);
    Publish<TCloseEvent>("FormClose", &TMDIChild::FormClose);
    Publish<TCloseQueryEvent>("FormCloseQuery", &TMDIChild::FormCloseQuery);
    Publish<TShowStatusEvent>("EditBoxShowStatus", &TMDIChild::EditBoxShowStatus);
    LoadForm();
}

TMDIChild::~TMDIChild() { DoDestroy(); }

void TMDIChild::BindComponents() {
    Bind(EditBox, "EditBox");
    Bind(ZalController1, "ZalController1");
    Bind(Panel1, "Panel1");
    Bind(pnLinePos, "pnLinePos");
    Bind(pnSize, "pnSize");
    Bind(pnStatusBar, "pnStatusBar");
    Bind(pnModified, "pnModified");
    Bind(pnMode, "pnMode");
    Bind(pnReadOnly, "pnReadOnly");
    Bind(Pop, "Pop");
    Bind(Undo1, "Undo1");
    Bind(Redo1, "Redo1");
    Bind(Cut1, "Cut1");
    Bind(Copy1, "Copy1");
    Bind(Paste1, "Paste1");
    Bind(ReadOnly1, "ReadOnly1");
}

void TMDIChild::FormShow(TComponent*) { EditBox->SetEnabled(true); }

void TMDIChild::FormClose(TComponent*, TCloseAction& Action) { Action = caFree; }

void TMDIChild::FormCloseQuery(TComponent*, bool& CanClose) {
    CanClose = true;
    if (!EditBox->Modified()) return;
    switch (MessageBox("Save Changes?", "Confirm", MB_YESNOCANCEL)) {
    case IDYES:
        CanClose = false; // until the file is written
        WithFileName(EditBox->FileName(), [this] { EditBox->SaveToFile(EditBox->FileName()); });
        CanClose = true;
        break;
    case IDNO: break;
    default: CanClose = false;
    }
}

void TMDIChild::EditBoxShowStatus(TComponent*, int32_t LineNum, int32_t ColNum) {
    pnLinePos->SetCaption(std::to_string(LineNum) + ":" + std::to_string(ColNum));
    pnLinePos->Repaint();
    pnModified->SetCaption(EditBox->Modified() ? "Modified" : "");
    pnSize->SetCaption(std::to_string(EditBox->TextLength()));
    pnMode->SetCaption(EditBox->InsertMode() ? "Insert" : "Overwrite");
}
