#pragma once
// The editor's font: a framework font that only ever names a fixed-pitch typeface,
// because the editor lays text out in equal-width character cells.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/Font.h"
#include "components/Persistent.h"
#include "platform/Fonts.h"

// The process-wide list of fixed-pitch typefaces, in the platform's enumeration order
// (neither sorted nor de-duplicated). The program builds it once at start-up, after the
// application object exists; the first query builds it when that was not done (and the
// next one again while the platform enumerates nothing).
void BuildFixedFamilyList();
// The same from a given enumeration: families whose pitch is fixed are kept.
void BuildFixedFamilyList(std::span<const TFontFamily> families);
// Empties the list until the next build (at shutdown).
void FreeFixedFamilyList();
const std::vector<std::string>& FixedFamilies();
// True when some fixed-pitch family has exactly this name, letter case included.
bool IsFixedFamily(std::string_view name);

class TZalFixedFont : public TPersistent {
public:
    // Names the first fixed-pitch family; raises EListError "List index out of bounds (0)"
    // when there is none.
    TZalFixedFont();
    TZalFixedFont(const TZalFixedFont&) = delete;
    TZalFixedFont& operator=(const TZalFixedFont&) = delete;
    const char* ClassName() const override { return "TZalFixedFont"; }

    const TFont& Font() const { return font_; }

    TColor Color() const { return font_.Color(); }
    void SetColor(TColor color);
    const std::string& Name() const { return font_.Name(); }
    // A name that is not a fixed-pitch family is ignored.
    void SetName(const std::string& name);
    int Size() const { return font_.Size(); }
    void SetSize(int points);
    TFontStyles Style() const { return font_.Style(); }
    void SetStyle(TFontStyles style);

    // From a TZalFixedFont or a TFont. A TFont whose typeface is not fixed-pitch raises
    // EInvalidFixedFont and changes nothing; other classes raise the assignment error.
    void Assign(const TPersistent* source) override;
    using TPersistent::Assign;

    // Called after every write, changed or not.
    std::function<void(TPersistent* sender)> OnFontChange;

protected:
    // Lets a TFont take this font's values.
    void AssignTo(TPersistent& dest) const override;

private:
    void FontChanged();

    TFont font_;
};
