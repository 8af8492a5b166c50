#include <gtest/gtest.h>

#include "platform/TextServices.h"

TEST(TextServices, UpperCaseAndLettersOfWindows1252) {
    EXPECT_EQ(CharUpper1252('a'), 'A');
    EXPECT_EQ(CharUpper1252('Z'), 'Z');
    EXPECT_EQ(CharUpper1252('1'), '1');
    EXPECT_EQ(CharUpper1252(0xE9), 0xC9); // e acute
    EXPECT_EQ(CharUpper1252(0x9A), 0x8A); // s caron
    EXPECT_EQ(CharUpper1252(0x9C), 0x8C); // oe
    EXPECT_EQ(CharUpper1252(0xFF), 0x9F); // y diaeresis
    EXPECT_EQ(CharUpper1252(0xDF), 0xDF); // sharp s stays
    EXPECT_EQ(CharUpper1252(0xF7), 0xF7); // division sign
    EXPECT_EQ(CharUpper1252(0xB5), 0xB5); // micro sign has no upper case in 1252
    EXPECT_EQ(CharLower1252(0xC9), 0xE9);
    char buf[] = "caf\xE9!";
    CharUpperBuff(buf, 5);
    EXPECT_STREQ(buf, "CAF\xC9!");
    EXPECT_TRUE(IsCharAlpha1252('q'));
    EXPECT_TRUE(IsCharAlpha1252(0xE9));
    EXPECT_TRUE(IsCharAlpha1252(0x8A));
    EXPECT_TRUE(IsCharAlpha1252(0xAA)); // feminine ordinal
    EXPECT_FALSE(IsCharAlpha1252('_'));
    EXPECT_FALSE(IsCharAlpha1252('7'));
    EXPECT_FALSE(IsCharAlpha1252(0xD7)); // multiplication sign
    EXPECT_FALSE(IsCharAlpha1252(0x80)); // euro sign
    EXPECT_FALSE(IsCharAlpha1252(0));
}

TEST(TextServices, FormattingAndConversions) {
    EXPECT_EQ(FormatStr("Line %d of %s", 12, "a.txt"), "Line 12 of a.txt");
    EXPECT_EQ(FormatStr("%s", std::string(5000, 'x').c_str()).size(), 5000u);
    EXPECT_EQ(FormatStr("%5u|%-3c|%x", 42u, 'z', 255u), "   42|z  |ff");
    EXPECT_EQ(WideCharToMultiByte(u"\u20ACx\u4E00"), "\x80x?");
    EXPECT_EQ(MultiByteToWideChar("\x80\x41"), u"\u20ACA");
}
