#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include "platform/Clipboard.h"
#include "platform/Cp1252.h"

TEST(Cp1252, EveryNonZeroByteRoundTripsThroughUnicode) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(char(b));
    const std::u16string wide = Cp1252ToUtf16(all);
    ASSERT_EQ(wide.size(), 255u);
    EXPECT_EQ(Utf16ToCp1252(wide), all);
    EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0x9F), u'\u0178');
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(Cp1252ToUnicode(uint8_t(undefined)), char16_t(undefined));
    EXPECT_EQ(UnicodeToCp1252(0x0151), -1); // o with double acute
    EXPECT_EQ(Utf16ToCp1252(u"a\u0151b"), "a?b");
    EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b") << "a surrogate pair is one character";
}

TEST(Clipboard, TextRoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(char(b));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "open once at a time";
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(SetClipboardData(CF_TEXT, all));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    std::string back;
    ASSERT_TRUE(GetClipboardText(back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(QGuiApplication::clipboard()->text().at(0x80 - 1), QChar(0x20AC)) << "other programs see Unicode";
}

TEST(Clipboard, TextEndsAtZeroAndForeignTextIsReadable) {
    ASSERT_TRUE(SetClipboardText(std::string("ab\0cd", 5)));
    std::string back;
    ASSERT_TRUE(GetClipboardText(back));
    EXPECT_EQ(back, "ab");
    QGuiApplication::clipboard()->setText(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xC5\x91"));
    ASSERT_TRUE(GetClipboardText(back));
    EXPECT_EQ(back, "caf\xE9 \x80 ?");
    EXPECT_FALSE(SetClipboardData(CF_TEXT, "x")) << "needs an open clipboard";
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(GetClipboardText(back));
}
