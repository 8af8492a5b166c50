#include "components/ZalColor.h"

TZalColors::TZalColors(TColor defaultBackColor, TColor defaultTextColor)
    : backColor_(defaultBackColor), textColor_(defaultTextColor),
      defaultBackColor_(defaultBackColor), defaultTextColor_(defaultTextColor) {
    ResetToDefaults();
}

void TZalColors::SetBackColor(TColor color) {
    if (color == backColor_) return;
    if (color != defaultBackColor_) useDefault_ = false;
    backColor_ = color;
    ColorChanged();
}

void TZalColors::SetTextColor(TColor color) {
    if (color == textColor_) return;
    if (color != defaultTextColor_) useDefault_ = false;
    textColor_ = color;
    ColorChanged();
}

void TZalColors::SetUseDefault(bool useDefault) {
    useDefault_ = useDefault;
    if (!useDefault) return;
    ResetToDefaults();
    ColorChanged();
}

void TZalColors::ResetToDefaults() {
    backColor_ = defaultBackColor_;
    textColor_ = defaultTextColor_;
}

void TZalColors::ColorChanged() {
    if (OnColorChange) OnColorChange(this);
}

void TZalColors::Assign(const TPersistent* source) {
    if (const auto* colors = dynamic_cast<const TZalColors*>(source)) {
        const TColor back = colors->BackColor(), text = colors->TextColor();
        SetBackColor(back);
        SetTextColor(text);
        return;
    }
    TPersistent::Assign(source);
}
