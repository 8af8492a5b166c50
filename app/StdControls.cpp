// The standard controls of the shell's dialogs.
#include "app/StdControls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/ErrorReport.h"
#include "app/ShellForm.h"
#include "platform/QtConvert.h"

TShellLabel::TShellLabel(TComponent* owner) : TShellControl(owner), label_(new QLabel) { SetWidget(label_); }

void TShellLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    label_->setText(DisplayString(caption));
}

void TShellLabel::SetFocusControl(TShellControl* control) {
    if (focusControl_) RemoveFreeNotification(focusControl_);
    focusControl_ = control;
    if (control) FreeNotification(control);
    label_->setBuddy(control ? control->Widget() : nullptr);
}

void TShellLabel::Notification(TComponent* component, TOperation operation) {
    TShellControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

TEdit::TEdit(TComponent* owner) : TShellControl(owner), edit_(new QLineEdit) { SetWidget(edit_); }

std::string TEdit::Text() const { return QStringToCp1252(edit_->text()); }

void TEdit::SetText(const std::string& text) { edit_->setText(Cp1252ToQString(text)); }

void TButtonControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (auto* button = qobject_cast<QAbstractButton*>(Widget())) button->setText(DisplayString(caption));
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner), box_(new QCheckBox) { SetWidget(box_); }

bool TCheckBox::Checked() const { return box_->isChecked(); }

void TCheckBox::SetChecked(bool checked) { box_->setChecked(checked); }

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner), radio_(new QRadioButton) {
    SetWidget(radio_);
}

bool TRadioButton::Checked() const { return radio_->isChecked(); }

void TRadioButton::SetChecked(bool checked) { radio_->setChecked(checked); }

TGroupBox::TGroupBox(TComponent* owner) : TShellWinControl(owner), box_(new QGroupBox) {
    SetWidget(box_);
    SetClient(box_);
}

void TGroupBox::SetCaption(const std::string& caption) {
    caption_ = caption;
    box_->setTitle(DisplayString(caption));
}

TButton::TButton(TComponent* owner) : TShellControl(owner), button_(new QPushButton) {
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, button_, [this] { Click(); });
    SetWidget(button_);
}

void TButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    button_->setText(DisplayString(caption));
}

void TButton::SetDefault(bool value) {
    default_ = value;
    button_->setDefault(value);
}

void TButton::Click() {
    if (!Enabled()) return;
    RunCommand([this] {
        if (OnClick) OnClick(this);
        if (modalResult_ == mrNone) return;
        if (auto* form = dynamic_cast<TShellForm*>(Owner())) form->SetModalResult(modalResult_);
    });
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(*button_) {}
