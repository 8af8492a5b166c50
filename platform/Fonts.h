#pragma once
// The font families installed, each with its pitch.
#include <string>
#include <vector>

struct TFontFamily {
    std::string Name;
    bool FixedPitch = false;
};

// In the font database's order. Families for which the font configuration has a
// metric-compatible stand-in (Courier New, Arial, Times New Roman) are listed too, after
// the installed ones, when the stand-in is installed.
std::vector<TFontFamily> EnumFontFamilies();
