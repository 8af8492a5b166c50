#pragma once
// The Replace dialog: the text to find, its replacement, the options and the direction;
// made anew for every Replace command, so it always opens empty.
#include "app/ShellForm.h"

class TBitBtn;
class TCheckBox;
class TEdit;
class TGroupBox;
class TRadioButton;
class TShellLabel;

class TReplDlg : public TShellForm {
public:
    explicit TReplDlg(TComponent* owner);
    ~TReplDlg() override;
    const char* ClassName() const override { return "TReplDlg"; }

    // The components the description holds.
    TEdit *Edit1 = nullptr, *Edit2 = nullptr;
    TShellLabel *Label1 = nullptr, *Label2 = nullptr;
    TGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr;
    TCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr;
    TRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr;
    TBitBtn *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr;

protected:
    void BindComponents() override;
};
