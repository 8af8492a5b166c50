// The Find dialog.
#include "app/DlgFind.h"

#include "app/StdControls.h"

TFindDlg* FindDlg = nullptr;

TFindDlg::TFindDlg(TComponent* owner) : TShellForm(owner) {
    Publish<TNotifyEvent>("BitBtn1Click", &TFindDlg::BitBtn1Click);
    Publish<TNotifyEvent>("BitBtn2Click", &TFindDlg::BitBtn2Click);
    LoadForm();
    FindDlg = this;
}

TFindDlg::~TFindDlg() {
    DoDestroy();
    if (FindDlg == this) FindDlg = nullptr;
}

void TFindDlg::BindComponents() {
    Bind(GroupBox1, "GroupBox1");
    Bind(GroupBox2, "GroupBox2");
    Bind(Edit1, "Edit1");
    Bind(RadioButton1, "RadioButton1");
    Bind(RadioButton2, "RadioButton2");
    Bind(CheckBox1, "CheckBox1");
    Bind(CheckBox2, "CheckBox2");
    Bind(BitBtn1, "BitBtn1");
    Bind(BitBtn2, "BitBtn2");
}

TSearchOptions TFindDlg::Options(bool withScope) const {
    TSearchOptions options = 0;
    if (RadioButton2->Checked()) options |= soBackward;
    if (CheckBox1->Checked()) options |= soMatchCase;
    if (withScope && CheckBox2->Checked()) options |= soGlobal;
    return options;
}

void TFindDlg::BitBtn1Click(TComponent*) { SetModalResult(mrOk); }

void TFindDlg::BitBtn2Click(TComponent*) { SetModalResult(mrCancel); }
