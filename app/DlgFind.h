#pragma once
// The Find dialog: the search text, the direction and the case and scope options. Made
// once at start-up and kept hidden between uses, so that it holds the last search.
#include "app/ShellForm.h"
#include "editor/SearchOptions.h"

class TBitBtn;
class TCheckBox;
class TEdit;
class TGroupBox;
class TRadioButton;

class TFindDlg : public TShellForm {
public:
    explicit TFindDlg(TComponent* owner);
    ~TFindDlg() override;
    const char* ClassName() const override { return "TFindDlg"; }

    // The components the description holds.
    TGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr;
    TEdit* Edit1 = nullptr;
    TRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr;
    TCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;
    TBitBtn *BitBtn1 = nullptr, *BitBtn2 = nullptr;

    // The options the dialog's choices stand for: direction and case, plus the scope when
    // `withScope` (Find asks for it; Find Next always continues from the caret).
    TSearchOptions Options(bool withScope) const;

    // Handlers, bound by the description: end the dialog with OK or Cancel.
    void BitBtn1Click(TComponent* Sender);
    void BitBtn2Click(TComponent* Sender);

protected:
    void BindComponents() override;
};

// The process's Find dialog while it exists.
extern TFindDlg* FindDlg;
