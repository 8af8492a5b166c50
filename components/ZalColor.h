#pragma once
// Colours of the framework and the text-and-background colour pair with built-in
// defaults (the editor's highlight colours).
#include <functional>

#include "components/Persistent.h"
#include "platform/SysColors.h"
#include "platform/Types.h"

// A few plain colours and the system colours (SYSCOLOR_FLAG + the system colour index).
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clMaroon = RGB(0x80, 0, 0);
constexpr TColor clGreen = RGB(0, 0x80, 0);
constexpr TColor clNavy = RGB(0, 0, 0x80);
constexpr TColor clGray = RGB(0x80, 0x80, 0x80);
constexpr TColor clSilver = RGB(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = RGB(0xFF, 0, 0);
constexpr TColor clLime = RGB(0, 0xFF, 0);
constexpr TColor clYellow = RGB(0xFF, 0xFF, 0);
constexpr TColor clBlue = RGB(0, 0, 0xFF);
constexpr TColor clWhite = RGB(0xFF, 0xFF, 0xFF);
// No colour at all, and "the default colour" (each use says what that is).
constexpr TColor clNone = 0x1FFFFFFFu;
constexpr TColor clDefault = 0x20000000u;

constexpr TColor SysColor(int index) {
    return SYSCOLOR_FLAG | TColor(index);
}
constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);

// A text colour and a back colour with defaults fixed at construction. While UseDefault
// is true both colours are the defaults; writing a colour other than its default clears it.
class TZalColors : public TPersistent {
public:
    TZalColors(TColor defaultBackColor, TColor defaultTextColor);
    const char* ClassName() const override { return "TZalColors"; }

    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor color);
    TColor TextColor() const { return textColor_; }
    void SetTextColor(TColor color);
    bool UseDefault() const { return useDefault_; }
    // True puts the defaults back and notifies, even when they were in use already.
    void SetUseDefault(bool useDefault);

    TColor DefaultBackColor() const { return defaultBackColor_; }
    TColor DefaultTextColor() const { return defaultTextColor_; }

    // A TZalColors source: its back colour, then its text colour, through the writers.
    void Assign(const TPersistent* source) override;
    using TPersistent::Assign;

    std::function<void(TPersistent* sender)> OnColorChange;

protected:
    // Both colours to their defaults, without a notification.
    virtual void ResetToDefaults();
    virtual void ColorChanged();

private:
    TColor backColor_;
    TColor textColor_;
    bool useDefault_ = true;
    const TColor defaultBackColor_;
    const TColor defaultTextColor_;
};
