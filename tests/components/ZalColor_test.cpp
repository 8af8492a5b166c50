#include <gtest/gtest.h>

#include "components/Font.h" // the source of another class
#include "components/ZalColor.h"
#include "components/ZalExcpt.h"

static_assert(clHighlight == 0x8000000Du && clHighlightText == 0x8000000Eu);
static_assert(clWindowText == 0x80000008u && clRed == 0x000000FFu);

namespace {
struct CountedColors {
    TZalColors Colors{clHighlight, clHighlightText};
    int Notified = 0;
    CountedColors() {
        Colors.OnColorChange = [this](TPersistent*) { ++Notified; };
    }
};
} // namespace

TEST(ZalColors, DefaultsUseDefaultAndNotifications) {
    CountedColors c;
    EXPECT_EQ(c.Colors.BackColor(), clHighlight);
    EXPECT_EQ(c.Colors.TextColor(), clHighlightText);
    EXPECT_TRUE(c.Colors.UseDefault());
    c.Colors.SetTextColor(clHighlightText);
    EXPECT_EQ(c.Notified, 0) << "an equal value is ignored";

    c.Colors.SetBackColor(clRed);
    EXPECT_FALSE(c.Colors.UseDefault());
    c.Colors.SetBackColor(clHighlight);
    EXPECT_FALSE(c.Colors.UseDefault()) << "writing the default leaves the flag as it was";
    c.Colors.SetTextColor(clBlue);
    EXPECT_EQ(c.Notified, 3);

    c.Colors.SetUseDefault(true);
    EXPECT_EQ(c.Colors.TextColor(), clHighlightText);
    EXPECT_TRUE(c.Colors.UseDefault());
    EXPECT_EQ(c.Notified, 4) << "restoring both defaults notifies once";
    c.Colors.SetUseDefault(false);
    EXPECT_FALSE(c.Colors.UseDefault());
    EXPECT_EQ(c.Notified, 4) << "false only clears the flag";
}

TEST(ZalColors, AssignGoesThroughTheWriters) {
    CountedColors c;
    TZalColors other(clBlack, clWhite); // other defaults: ours decide the flag
    other.SetBackColor(clHighlight);
    other.SetTextColor(clNavy);
    c.Colors.Assign(other);
    EXPECT_EQ(c.Colors.BackColor(), clHighlight);
    EXPECT_EQ(c.Colors.TextColor(), clNavy);
    EXPECT_FALSE(c.Colors.UseDefault());
    EXPECT_EQ(c.Notified, 1) << "only the text colour differed";

    TFont font;
    try {
        c.Colors.Assign(font);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TFont to a TZalColors");
    }
    EXPECT_EQ(c.Colors.TextColor(), clNavy);
}
