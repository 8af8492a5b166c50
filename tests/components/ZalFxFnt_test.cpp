#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "components/ZalColor.h"
#include "components/ZalExcpt.h"
#include "components/ZalFxFnt.h"

namespace {
// Builds a family list for one test and leaves none behind.
struct TFamilies {
    explicit TFamilies(std::vector<TFontFamily> families) { BuildFixedFamilyList(families); }
    ~TFamilies() { FreeFixedFamilyList(); }
};

class FixedFont : public ::testing::Test {
protected:
    FixedFont() {
        Font.OnFontChange = [this](TPersistent* sender) {
            EXPECT_EQ(sender, &Font);
            ++Changes;
        };
    }
    static TFont Make(const char* name, int size, TFontStyles style, TColor color) {
        TFont font;
        font.SetName(name);
        font.SetSize(size);
        font.SetStyle(style);
        font.SetColor(color);
        return font;
    }

    TFamilies Families{{{"Arial", false}, {"Courier New", true}, {"Liberation Mono", true}}};
    TZalFixedFont Font; // after the list it names its first family from
    int Changes = 0;
};
} // namespace

TEST(FixedFamilies, KeptInOrderComparedExactlyAndNeverEmptyForAFont) {
    {
        TFamilies f({{"Arial", false},
                     {"Courier New", true},
                     {"Liberation Mono", true},
                     {"Courier New", true}});
        EXPECT_EQ(FixedFamilies(),
                  (std::vector<std::string>{"Courier New", "Liberation Mono", "Courier New"}));
        EXPECT_FALSE(IsFixedFamily("courier new"));
        EXPECT_FALSE(IsFixedFamily("Arial"));
    }
    {
        TFamilies f({{"Arial", false}});
        try {
            TZalFixedFont font;
            FAIL() << "no error";
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), "List index out of bounds (0)");
        }
    }
    // Without a built list the first query enumerates the installed fonts.
    const std::vector<std::string>& names = FixedFamilies();
    const auto has = [&](const char* n) {
        return std::find(names.begin(), names.end(), n) != names.end();
    };
    EXPECT_TRUE(has("Liberation Mono") || has("DejaVu Sans Mono"));
    EXPECT_FALSE(has("DejaVu Sans") || has("Liberation Sans"));
    TZalFixedFont font; // as the form loads it: Courier New only where it is installed
    font.SetName("Courier New");
    EXPECT_EQ(font.Name(), has("Courier New") ? "Courier New" : names.front());
    FreeFixedFamilyList();
}

TEST_F(FixedFont, NameRulesAndAttributeWrites) {
    EXPECT_EQ(Font.Name(), "Courier New");
    Font.SetName("Arial");
    Font.SetName("courier new");
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Changes, 0) << "an ignored name reports nothing";
    Font.SetName("Liberation Mono");
    EXPECT_EQ(Font.Name(), "Liberation Mono");

    Font.SetSize(10);
    Font.SetSize(10);
    Font.SetColor(Font.Color());
    Font.SetStyle({fsItalic});
    EXPECT_EQ(Font.Size(), 10);
    EXPECT_EQ(Font.Style(), TFontStyles{fsItalic});
    EXPECT_EQ(Changes, 5) << "attribute writes notify even when nothing changed";
}

TEST_F(FixedFont, AssignsAFixedFontWholeAndRefusesOthersUnchanged) {
    Font.Assign(Make("Courier New", 12, {fsBold}, clRed));
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Font.Size(), 12);
    EXPECT_EQ(Font.Style(), TFontStyles{fsBold});
    EXPECT_EQ(Font.Color(), clRed);
    EXPECT_EQ(Changes, 1);

    const TFont before = Font.Font();
    try {
        Font.Assign(Make("Arial", 14, {}, clBlue));
        FAIL() << "no error";
    } catch (const EInvalidFixedFont& e) {
        EXPECT_STREQ(e.what(), "Invalid font assignment. Font must be a fixed font");
    }
    TZalColors colors(clHighlight, clHighlightText);
    try {
        Font.Assign(colors);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TZalColors to a TZalFixedFont");
    }
    EXPECT_TRUE(Font.Font().SameValues(before));
    EXPECT_EQ(Changes, 1);
}

TEST_F(FixedFont, FromAFixedFontWhoseFamilyIsNoLongerFixedKeepsTheName) {
    TZalFixedFont source;
    source.SetName("Liberation Mono");
    source.SetSize(9);
    BuildFixedFamilyList(std::vector<TFontFamily>{{"DejaVu Sans Mono", true}});
    Font.Assign(source);
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Font.Size(), 9);
    EXPECT_EQ(Changes, 1);

    TFont plain; // a framework font takes a fixed font's values
    plain.Assign(source);
    EXPECT_TRUE(plain.SameValues(source.Font()));
}
