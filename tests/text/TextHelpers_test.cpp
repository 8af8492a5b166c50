#include <gtest/gtest.h>

#include <string>

#include "text/TextHelpers.h"

namespace {

TEST(TextHelpers, ClassesAndTabs) {
    for (char c : {' ', '\t'})
        EXPECT_TRUE(IsBlank(c) && IsBreakChar(c));
    EXPECT_TRUE(IsBreakChar('-') && !IsBlank('-'));
    for (char c : {'a', '\0', '\n', '\xA0'})
        EXPECT_FALSE(IsBlank(c) || IsBreakChar(c));
    EXPECT_TRUE(HasTab("ab\tc", 3));
    EXPECT_FALSE(HasTab("ab\tc", 2));
}

TEST(TextHelpers, Widths) {
    EXPECT_EQ(TextWidth("\tab", 3, 8), 10);
    EXPECT_EQ(TextWidth("ab\tc", 4, 8), 9);
    EXPECT_EQ(TextWidth("abcdefgh\t", 9, 8), 16);  // a tab at a stop takes a full step
    EXPECT_EQ(TextWidth("abc", 10, 8), 3);         // stops at the terminator
    EXPECT_EQ(TextWidth("a\tb", 3, 0), 3);         // a tab size of 0 counts as 1
    EXPECT_EQ(TextWidth("\t\t", 2, 1 << 30), 510); // and a huge one as 255

    EXPECT_EQ(CharsInWidth(std::string(100, 'x').c_str(), 80, 8), 80);
    EXPECT_EQ(CharsInWidth("abc", 80, 8), 4); // the terminator first: length + 1
    EXPECT_EQ(CharsInWidth("", 80, 8), 1);
    // Width 78, a tab starting at cell 76: it crosses the width and is the last one.
    EXPECT_EQ(CharsInWidth((std::string(76, 'x') + "\tyz").c_str(), 78, 8), 77);
    EXPECT_EQ(CharsInWidth("a\t\tb", 9, 8), 3); // cells 1, 8, 16
}

TEST(TextHelpers, FindBreak) {
    auto next = [](const char* s, int fit) { return static_cast<int>(FindBreak(s, fit) - s); };
    EXPECT_EQ(next("aaaa bbbb", 4), 5); // the blank stays on the line
    EXPECT_EQ(next("ab   cd", 3), 5);   // so does the whole run
    EXPECT_EQ(next("ab-cdef", 4), 3);   // after the hyphen
    EXPECT_EQ(next("abcd-ef", 4), 5);   // a hyphen at offset fit stays too
    EXPECT_EQ(next("ab-  cd", 4), 5);   // with the blanks after it
    EXPECT_EQ(next("abcdefgh", 4), 4);  // hard cut
    EXPECT_EQ(next("abcd", 4), 4);      // the terminator
    EXPECT_EQ(next("abcd   ", 4), 7);   // blanks up to the terminator
    EXPECT_EQ(next(" abcdef", 3), 1);   // a leading blank is a break as well
}

TEST(TextHelpers, CutLengthsAndPadding) {
    EXPECT_EQ(WordBreakLen("abc def ghi", 9), 8);
    EXPECT_EQ(WordBreakLen("abcdefghij", 4), 4);
    EXPECT_EQ(WordBreakLen("abcd efgh", 5), 5);
    EXPECT_EQ(WordBreakLen("ab cd", 10), 3); // never read past the terminator
    EXPECT_EQ(WordBreakLen("abcd", 10), 4);
    EXPECT_EQ(LineBreakLen("ab\ncd", 5), 3);
    EXPECT_EQ(LineBreakLen("ab\ncd", 2), 2);
    EXPECT_EQ(LineBreakLen("a\rb", 3), 3);
    EXPECT_EQ(LineBreakLen("abcd", 0), 0);

    char buf[8] = {'a', 'b', 'c', 0, 'x', 'x', 'x', 'x'};
    PadTo(buf, ' ', 2); // long enough already
    EXPECT_STREQ(buf, "abc");
    PadTo(buf, '.', 5);
    EXPECT_STREQ(buf, "abc..");
    EXPECT_EQ(buf[6], 'x'); // nothing written after the terminator
}

} // namespace
