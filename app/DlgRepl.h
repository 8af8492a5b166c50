#pragma once
// The Replace dialog: the text to find, its replacement, the options and the direction;
// made anew for every Replace command, so it always opens empty.
#include "app/ShellForm.h"
#include "editor/SearchOptions.h"

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

    // The options the dialog's choices stand for when it ended with `modalResult`: Replace
    // All (mrYes) or one at a time (mrOk), the direction, case, whole words and scope.
    TSearchOptions Options(int modalResult) const;

protected:
    void BindComponents() override;
};

// The process's Replace dialog while a Replace command runs.
extern TReplDlg* ReplDlg;
