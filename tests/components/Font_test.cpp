#include <gtest/gtest.h>

#include "components/Font.h"
#include "components/ZalColor.h"
#include "components/ZalExcpt.h"
#include "platform/Canvas.h"

TEST(Font, WritesAssignAndPlatformFont) {
    TFont font;
    int changes = 0;
    font.OnChange = [&](TPersistent*) { ++changes; };
    font.SetSize(font.Size());
    font.SetName("");
    font.SetSize(0);
    EXPECT_EQ(changes, 0) << "equal, empty and non-positive values are ignored";
    EXPECT_EQ(font.Color(), clWindowText);

    TFont other;
    other.SetName("DejaVu Sans Mono");
    other.SetSize(12);
    other.SetStyle({fsBold, fsStrikeOut});
    font.Assign(other);
    font.Assign(other);
    EXPECT_TRUE(font.SameValues(other));
    EXPECT_EQ(changes, 1) << "a whole assignment notifies once, an equal one not at all";

    const TFontDesc desc = FontDescOf(font);
    EXPECT_EQ(desc.Name, "DejaVu Sans Mono");
    EXPECT_EQ(desc.Size, 12);
    EXPECT_TRUE(desc.Bold && desc.StrikeOut && !desc.Italic && !desc.Underline);

    TZalColors colors(clHighlight, clHighlightText);
    try {
        font.Assign(colors);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TZalColors to a TFont");
    }
    EXPECT_TRUE(font.SameValues(other));
}
