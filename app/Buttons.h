#pragma once
// Toolbar buttons: a glyph (a strip of images side by side: the normal look, then the
// disabled look) that the button shows in the look of its state, and a click handler.
#include <string>

#include "app/ShellControls.h"

class QAbstractButton;
class QToolButton;

// A button's glyph: the program's bitmap resource that holds the strip, and how many
// images it holds; the first is the normal look and the second, when there is one, the
// disabled look.
class TButtonGlyph {
public:
    explicit TButtonGlyph(QAbstractButton& button) : button_(button) {}
    const std::string& Name() const { return name_; }
    // A name of no readable bitmap raises EConvertError and keeps the old glyph.
    void SetName(const std::string& resourceName);
    int Count() const { return count_; }
    // 1 to 4; other counts are ignored.
    void SetCount(int count);

private:
    QAbstractButton& button_;
    std::string name_;
    int count_ = 1;
};

class TSpeedButton : public TShellControl {
public:
    explicit TSpeedButton(TComponent* owner);
    const char* ClassName() const override { return "TSpeedButton"; }

    TButtonGlyph& Glyph() { return glyph_; }
    const TButtonGlyph& Glyph() const { return glyph_; }

    TNotifyEvent OnClick;
    // Runs OnClick when the button is enabled (as a click on it does); what it raises goes
    // to the application's error report.
    void Click();

    QToolButton* Button() const { return button_; }

private:
    QToolButton* button_;
    TButtonGlyph glyph_;
};
