#include "components/ZalFxFnt.h"

#include <algorithm>

#include "components/ZalExcpt.h"

namespace {
struct TFamilyList {
    std::vector<std::string> names;
    bool built = false;
};

TFamilyList& Families() {
    static TFamilyList list;
    return list;
}
} // namespace

void BuildFixedFamilyList(std::span<const TFontFamily> families) {
    TFamilyList& list = Families();
    list.names.clear();
    for (const TFontFamily& family : families)
        if (family.FixedPitch) list.names.push_back(family.Name);
    list.built = true;
}

void BuildFixedFamilyList() {
    const std::vector<TFontFamily> families = EnumFontFamilies();
    BuildFixedFamilyList(families);
    // Nothing enumerated (no application object yet, or no font at all): ask again at
    // the next query rather than keep an empty list for the whole run.
    if (families.empty()) Families().built = false;
}

void FreeFixedFamilyList() {
    TFamilyList& list = Families();
    list.names.clear();
    list.names.shrink_to_fit();
    list.built = false;
}

const std::vector<std::string>& FixedFamilies() {
    if (!Families().built) BuildFixedFamilyList();
    return Families().names;
}

bool IsFixedFamily(std::string_view name) {
    const std::vector<std::string>& names = FixedFamilies();
    return std::find(names.begin(), names.end(), name) != names.end();
}

TZalFixedFont::TZalFixedFont() {
    const std::vector<std::string>& names = FixedFamilies();
    if (names.empty()) throw EListError("List index out of bounds (0)");
    font_.SetName(names.front());
}

void TZalFixedFont::FontChanged() {
    if (OnFontChange) OnFontChange(this);
}

void TZalFixedFont::SetColor(TColor color) {
    font_.SetColor(color);
    FontChanged();
}

void TZalFixedFont::SetName(const std::string& name) {
    if (!IsFixedFamily(name)) return;
    font_.SetName(name);
    FontChanged();
}

void TZalFixedFont::SetSize(int points) {
    font_.SetSize(points);
    FontChanged();
}

void TZalFixedFont::SetStyle(TFontStyles style) {
    font_.SetStyle(style);
    FontChanged();
}

void TZalFixedFont::Assign(const TPersistent* source) {
    TFont temp;
    if (const auto* fixed = dynamic_cast<const TZalFixedFont*>(source)) {
        temp.Assign(fixed->font_);
    } else if (const auto* font = dynamic_cast<const TFont*>(source)) {
        if (!IsFixedFamily(font->Name())) throw EInvalidFixedFont();
        temp.Assign(*font);
    } else {
        TPersistent::Assign(source);
        return;
    }
    // A fixed font built while another family list was in force may name a family that
    // is no longer fixed: keep ours then.
    if (!IsFixedFamily(temp.Name())) temp.SetName(font_.Name());
    font_.Assign(temp);
    FontChanged();
}

void TZalFixedFont::AssignTo(TPersistent& dest) const {
    if (auto* font = dynamic_cast<TFont*>(&dest)) {
        font->Assign(font_);
        return;
    }
    TPersistent::AssignTo(dest);
}
