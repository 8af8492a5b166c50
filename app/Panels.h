#pragma once
// Panels: a rectangle with an outer and an inner bevel, a border between them, a caption,
// and child controls aligned inside the bevels (the toolbar, the status line, the status
// row of a document window).
#include <cstdint>
#include <string>

#include "app/ShellControls.h"

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

class TPanel : public TShellWinControl {
public:
    explicit TPanel(TComponent* owner);
    const char* ClassName() const override { return "TPanel"; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut bevel);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width); // below 1 is ignored
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width); // below 0 is ignored
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // Paints the panel now (the caption changes show at once).
    void Repaint();

private:
    class TPanelWidget;
    void Changed();

    std::string caption_;
    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TColor color_ = clBtnFace;
    TPanelWidget* panel_ = nullptr;
};
