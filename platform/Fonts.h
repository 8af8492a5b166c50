#pragma once
// The font families installed, each with its pitch.
#include <string>
#include <vector>

struct TFontFamily {
    std::string Name;
    bool FixedPitch = false;
};

// The installed families, in the font database's order. Only families that are really
// installed are listed: a family the font configuration would merely substitute (Courier
// New drawn with Liberation Mono) is not, so callers that insist on a fixed family fall
// back to one that is there.
std::vector<TFontFamily> EnumFontFamilies();
