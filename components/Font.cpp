#include "components/Font.h"

#include "platform/Canvas.h"

void TFont::Changed() {
    if (OnChange) OnChange(this);
}

void TFont::SetName(const std::string& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

void TFont::SetSize(int points) {
    if (points <= 0 || points == size_) return;
    size_ = points;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::Assign(const TPersistent* source) {
    if (const auto* font = dynamic_cast<const TFont*>(source)) {
        if (font == this || SameValues(*font)) return;
        CopyValues(*font);
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

TFontDesc FontDescOf(const TFont& font) {
    TFontDesc desc;
    desc.Name = font.Name();
    desc.Size = font.Size();
    desc.Bold = font.Style().Contains(fsBold);
    desc.Italic = font.Style().Contains(fsItalic);
    desc.Underline = font.Style().Contains(fsUnderline);
    desc.StrikeOut = font.Style().Contains(fsStrikeOut);
    return desc;
}
