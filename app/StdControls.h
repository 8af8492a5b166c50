#pragma once
// The standard controls of the shell's dialogs: labels, edit boxes, check boxes, radio
// buttons, group boxes and push buttons (plain or with a glyph), with the captions,
// states and modal results their stored forms give them.
#include <cstdint>
#include <string>

#include "app/Buttons.h"
#include "app/ShellControls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The results a modal form ends with.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7;

// A caption; its access key focuses FocusControl. (The class stored forms call TLabel.)
class TShellLabel : public TShellControl {
public:
    explicit TShellLabel(TComponent* owner);
    const char* ClassName() const override { return "TLabel"; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TShellControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TShellControl* control);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::string caption_;
    TShellControl* focusControl_ = nullptr;
    QLabel* label_;
};

// A one-line text field.
class TEdit : public TShellControl {
public:
    explicit TEdit(TComponent* owner);
    const char* ClassName() const override { return "TEdit"; }
    std::string Text() const;
    void SetText(const std::string& text);
    QLineEdit* LineEdit() const { return edit_; }

private:
    QLineEdit* edit_;
};

// A check box or a radio button: a caption and a checked state.
class TButtonControl : public TShellControl {
public:
    using TShellControl::TShellControl;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;

private:
    std::string caption_;
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* owner);
    const char* ClassName() const override { return "TCheckBox"; }
    bool Checked() const override;
    void SetChecked(bool checked) override;

private:
    QCheckBox* box_;
};

// Radio buttons on one parent exclude one another.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* owner);
    const char* ClassName() const override { return "TRadioButton"; }
    bool Checked() const override;
    void SetChecked(bool checked) override;

private:
    QRadioButton* radio_;
};

// A frame with a caption around related controls.
class TGroupBox : public TShellWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    const char* ClassName() const override { return "TGroupBox"; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

private:
    std::string caption_;
    QGroupBox* box_;
};

// A push button. Clicking it runs OnClick and, with a modal result, ends its modal form
// with that result. Default: Enter presses it; Cancel: Escape does.
class TButton : public TShellControl {
public:
    explicit TButton(TComponent* owner);
    const char* ClassName() const override { return "TButton"; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    TNotifyEvent OnClick;
    // Presses the button: OnClick, then the modal result (when enabled).
    void Click();
    QPushButton* PushButton() const { return button_; }

protected:
    QPushButton* button_;

private:
    std::string caption_;
    bool default_ = false, cancel_ = false;
    int modalResult_ = mrNone;
};

// The kinds of glyph buttons; the stored forms give caption and modal result themselves.
enum TBitBtnKind : uint8_t { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A push button with a glyph (a bitmap resource: the normal look, then the disabled one).
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);
    const char* ClassName() const override { return "TBitBtn"; }
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind) { kind_ = kind; }
    TButtonGlyph& Glyph() { return glyph_; }
    const TButtonGlyph& Glyph() const { return glyph_; }

private:
    TBitBtnKind kind_ = bkCustom;
    TButtonGlyph glyph_;
};
