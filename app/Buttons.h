#pragma once
// Toolbar buttons: a glyph (a strip of images side by side: the normal look, then the
// disabled look) that the button shows in the look of its state, and a click handler.
#include <string>

#include "app/ShellControls.h"

class QIcon;
class QToolButton;

// The icon of a glyph strip resource: the first image is the normal look and, when the
// strip holds two or more, the second is the disabled look. An empty name gives no icon;
// a name of no readable bitmap raises EConvertError.
QIcon GlyphIcon(const std::string& resourceName, int numGlyphs);

class TSpeedButton : public TShellControl {
public:
    explicit TSpeedButton(TComponent* owner);
    const char* ClassName() const override { return "TSpeedButton"; }

    // The name of the program's bitmap resource that holds the glyph strip; a name that
    // names no readable bitmap raises EConvertError and keeps the old glyph.
    const std::string& Glyph() const { return glyph_; }
    void SetGlyph(const std::string& resourceName);
    // How many images the strip holds (1 to 4); others are ignored.
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);

    TNotifyEvent OnClick;
    // Runs OnClick when the button is enabled (as a click on it does); what it raises goes
    // to the application's error report.
    void Click();

    QToolButton* Button() const { return button_; }

private:
    std::string glyph_;
    int numGlyphs_ = 1;
    QToolButton* button_ = nullptr;
};
