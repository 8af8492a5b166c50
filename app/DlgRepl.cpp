// The Replace dialog.
#include "app/DlgRepl.h"

#include "app/StdControls.h"

TReplDlg* ReplDlg = nullptr;

TReplDlg::TReplDlg(TComponent* owner) : TShellForm(owner) {
    LoadForm();
    ReplDlg = this;
}

TReplDlg::~TReplDlg() {
    DoDestroy();
    if (ReplDlg == this) ReplDlg = nullptr;
}

void TReplDlg::BindComponents() {
    Bind(Edit1, "Edit1");
    Bind(Edit2, "Edit2");
    Bind(Label1, "Label1");
    Bind(Label2, "Label2");
    Bind(GroupBox1, "GroupBox1");
    Bind(GroupBox2, "GroupBox2");
    Bind(CheckBox1, "CheckBox1");
    Bind(CheckBox2, "CheckBox2");
    Bind(CheckBox3, "CheckBox3");
    Bind(RadioButton1, "RadioButton1");
    Bind(RadioButton2, "RadioButton2");
    Bind(Button1, "Button1");
    Bind(Button2, "Button2");
    Bind(Button3, "Button3");
}

TSearchOptions TReplDlg::Options(int modalResult) const {
    TSearchOptions options = modalResult == mrYes ? soReplaceAll : soReplace;
    if (RadioButton2->Checked()) options |= soBackward;
    if (CheckBox1->Checked()) options |= soMatchCase;
    if (CheckBox2->Checked()) options |= soWholeWords;
    if (CheckBox3->Checked()) options |= soGlobal;
    return options;
}
