#pragma once
// The framework's font: a value object naming a typeface, its size in points, its style
// and its colour. Drawing code hands it to the platform as a TFontDesc.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "components/Persistent.h"
#include "components/ZalColor.h"

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
        for (TFontStyle s : styles)
            bits_ |= Bit(s);
    }
    constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TFontStyles& Include(TFontStyle s) {
        bits_ |= Bit(s);
        return *this;
    }
    constexpr TFontStyles& Exclude(TFontStyle s) {
        bits_ &= uint8_t(~Bit(s));
        return *this;
    }
    friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
    static constexpr uint8_t Bit(TFontStyle s) { return uint8_t(1u << unsigned(s)); }
    uint8_t bits_ = 0;
};

struct TFontDesc;

class TFont : public TPersistent {
public:
    // The framework's defaults: a sans-serif face at 8 points, plain, in the window text colour.
    static constexpr const char* kDefaultName = "Sans Serif";
    static constexpr int kDefaultSize = 8;

    TFont() = default;
    TFont(const TFont& other) : TPersistent() { CopyValues(other); }
    TFont& operator=(const TFont& other) {
        Assign(other);
        return *this;
    }
    const char* ClassName() const override { return "TFont"; }

    const std::string& Name() const { return name_; }
    // An empty name names no typeface and is ignored.
    void SetName(const std::string& name);
    int Size() const { return size_; }
    // Point sizes of 0 or less are ignored.
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // A TFont source: takes all its values, then one OnChange if any of them differed.
    // Another source raises "Cannot assign a <source> to a TFont" unless it knows fonts.
    void Assign(const TPersistent* source) override;
    using TPersistent::Assign;

    // Compares the values only (not the change callback).
    bool SameValues(const TFont& other) const {
        return name_ == other.name_ && size_ == other.size_ && style_ == other.style_ &&
               color_ == other.color_;
    }

    // Called after an effective change, with the font.
    std::function<void(TPersistent* sender)> OnChange;

private:
    void CopyValues(const TFont& other) {
        name_ = other.name_;
        size_ = other.size_;
        style_ = other.style_;
        color_ = other.color_;
    }
    void Changed();

    std::string name_ = kDefaultName;
    int size_ = kDefaultSize;
    TFontStyles style_;
    TColor color_ = clWindowText;
};

// The platform's description of the font, for drawing and measuring (the colour is the
// canvas's text colour, not part of it).
TFontDesc FontDescOf(const TFont& font);
