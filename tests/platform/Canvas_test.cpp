#include <gtest/gtest.h>

#include <QFontDatabase>

#include <QApplication>
#include <QPalette>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Fonts.h"
#include "platform/Resources.h"
#include "platform/SysColors.h"

namespace {
constexpr TColor kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlack = 0;
}

TEST(Canvas, FixedFontMetrics) {
    auto c = TCanvas::CreateMeasuring();
    TFontDesc f;
    f.Name = "Liberation Mono";
    f.Size = 10;
    c->SelectFont(f);
    const TTextMetric m = c->GetTextMetrics();
    EXPECT_TRUE(m.FixedPitch);
    EXPECT_GT(m.AveCharWidth, 4);
    EXPECT_GT(m.Height, m.AveCharWidth);
    EXPECT_EQ(m.Height, m.Ascent + m.Descent);
    EXPECT_GE(m.ExternalLeading, 0);
    EXPECT_EQ(c->TextExtent("abcdefghij").Width, 10 * m.AveCharWidth);
    f.Size = 20;
    c->SelectFont(f);
    EXPECT_GT(c->GetTextMetrics().Height, m.Height);
}

TEST(Canvas, OpaqueClippedTextStaysInItsRectangle) {
    TBitmap bmp(60, 30);
    TCanvas& c = bmp.Canvas();
    c.SelectFont(TFontDesc{});
    c.SetTextColor(kBlack);
    c.SetBkColor(kRed);
    const TRect r{5, 5, 20, 25};
    const int advances[] = {8, 8, 8, 8, 8, 8};
    c.ExtTextOut(5, 5, ETO_OPAQUE | ETO_CLIPPED, &r, "WWWWWW", 6, advances);
    EXPECT_EQ(bmp.Pixel(6, 24), kRed) << "the rectangle is filled behind the text";
    EXPECT_EQ(bmp.Pixel(4, 10), kWhite);
    bool dark = false;
    for (int x = 5; x < 20; ++x)
        for (int y = 5; y < 25; ++y) dark = dark || (GetRValue(bmp.Pixel(x, y)) < 100);
    EXPECT_TRUE(dark) << "text was drawn";
    for (int x = 20; x < 60; ++x)
        for (int y = 0; y < 30; ++y) ASSERT_EQ(bmp.Pixel(x, y), kWhite) << "clipped at x " << x;
}

TEST(Canvas, FillsClipsAndOrigins) {
    TBitmap bmp(40, 40);
    TCanvas& c = bmp.Canvas();
    EXPECT_EQ(c.GetClipBox(), (TRect{0, 0, 40, 40}));
    c.Save();
    c.OffsetOrigin(10, 10);
    c.IntersectClipRect(TRect{0, 0, 5, 5});
    EXPECT_EQ(c.GetClipBox(), (TRect{0, 0, 5, 5}));
    c.FillRect(TRect{-10, -10, 30, 30}, kRed);
    c.Restore();
    EXPECT_EQ(bmp.Pixel(10, 10), kRed);
    EXPECT_EQ(bmp.Pixel(14, 14), kRed);
    EXPECT_EQ(bmp.Pixel(15, 15), kWhite);
    EXPECT_EQ(bmp.Pixel(9, 9), kWhite);
    c.FrameRect(TRect{20, 20, 30, 30}, kBlack);
    EXPECT_EQ(bmp.Pixel(20, 25), kBlack);
    EXPECT_EQ(bmp.Pixel(29, 29), kBlack);
    EXPECT_EQ(bmp.Pixel(25, 25), kWhite);
    c.SetPenColor(kBlack);
    c.MoveTo(0, 35);
    c.LineTo(10, 35);
    EXPECT_EQ(bmp.Pixel(9, 35), kBlack);
    EXPECT_EQ(bmp.Pixel(10, 35), kWhite) << "the end point is left out";
}

TEST(Canvas, BitmapCopiesAndTransparency) {
    TBitmap glyph(2, 1);
    glyph.SetPixel(0, 0, RGB(255, 0, 255));
    glyph.SetPixel(1, 0, RGB(0, 0, 255));
    EXPECT_EQ(glyph.TransparentColor(), RGB(255, 0, 255)) << "bottom-left pixel";
    TBitmap target(4, 2);
    target.Canvas().FillRect(TRect{0, 0, 4, 2}, kRed);
    target.Canvas().DrawTransparent(1, 0, glyph, RGB(255, 0, 255));
    EXPECT_EQ(target.Pixel(1, 0), kRed) << "the transparent colour keeps what lies beneath";
    EXPECT_EQ(target.Pixel(2, 0), RGB(0, 0, 255));
    target.Canvas().BitBlt(0, 1, 2, 1, glyph, 0, 0);
    EXPECT_EQ(target.Pixel(0, 1), RGB(255, 0, 255));
    TBitmap copy = target;
    target.SetPixel(0, 1, kBlack);
    EXPECT_EQ(copy.Pixel(0, 1), RGB(255, 0, 255)) << "copies are independent";
    TBitmap mask = glyph.MaskOf(RGB(0, 0, 255));
    EXPECT_EQ(mask.Pixel(1, 0), kWhite);
    EXPECT_EQ(mask.Pixel(0, 0), kBlack);
    TBitmap bad;
    EXPECT_FALSE(bad.LoadFromData("nope", 4));
    EXPECT_TRUE(bad.Empty());
}

TEST(Canvas, SystemColoursComeFromThePalette) {
    const QPalette p = QApplication::palette();
    const QColor hl = p.color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(uint8_t(hl.red()), uint8_t(hl.green()), uint8_t(hl.blue())));
    const QColor base = p.color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(uint8_t(base.red()), uint8_t(base.green()), uint8_t(base.blue())));
    EXPECT_EQ(ColorToRGB(SYSCOLOR_FLAG | COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
    EXPECT_NE(GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_WINDOWTEXT));
}

TEST(Fonts, FamiliesWithTheirPitch) {
    const auto families = EnumFontFamilies();
    auto find = [&](const std::string& n) -> const TFontFamily* {
        for (const TFontFamily& f : families)
            if (f.Name == n) return &f;
        return nullptr;
    };
    const TFontFamily* mono = find("Liberation Mono");
    ASSERT_NE(mono, nullptr);
    EXPECT_TRUE(mono->FixedPitch);
    // Substitutes are not families: without Courier New installed it is not listed.
    if (!QFontDatabase::families().contains("Courier New")) {
        EXPECT_EQ(find("Courier New"), nullptr);
    }
    const TFontFamily* sans = find("DejaVu Sans");
    if (sans) {
        EXPECT_FALSE(sans->FixedPitch);
    }
}

TEST(Bitmap, LoadsNamedBitmapResources) {
    static const char kXpm[] =
        "/* XPM */\nstatic const char* p[] = {\"2 1 2 1\", \"r c #FF0000\", \"b c #0000FF\", \"rb\"};\n";
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(kXpm), sizeof kXpm - 1);
    ASSERT_TRUE(RegisterResourceBlob(RT_BITMAP, "TESTGLYPH", bytes));
    TBitmap bmp;
    EXPECT_TRUE(bmp.LoadFromResourceName("testglyph")); // names ignore letter case
    EXPECT_EQ(bmp.Width(), 2);
    EXPECT_EQ(bmp.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(bmp.Pixel(1, 0), RGB(0, 0, 255));
    EXPECT_FALSE(bmp.LoadFromResourceName("NOSUCHGLYPH"));
    EXPECT_EQ(bmp.Width(), 2); // a failed load keeps the image
    EXPECT_TRUE(UnregisterResourceBlob(RT_BITMAP, "TESTGLYPH"));
}
