#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/TextHelpers.h"

namespace {

TEST(TextHelpers, CharacterClasses) {
    EXPECT_TRUE(IsBlank(' '));
    EXPECT_TRUE(IsBlank('\t'));
    EXPECT_FALSE(IsBlank('-'));
    EXPECT_FALSE(IsBlank('\0'));
    EXPECT_FALSE(IsBlank('\n'));
    EXPECT_TRUE(IsBreakChar(' '));
    EXPECT_TRUE(IsBreakChar('\t'));
    EXPECT_TRUE(IsBreakChar('-'));
    EXPECT_FALSE(IsBreakChar('a'));
    EXPECT_FALSE(IsBreakChar('\xA0'));
}

TEST(TextHelpers, HasTabLooksOnlyAtTheFirstCharacters) {
    EXPECT_TRUE(HasTab("ab\tc", 4));
    EXPECT_TRUE(HasTab("ab\tc", 3));
    EXPECT_FALSE(HasTab("ab\tc", 2));
    EXPECT_FALSE(HasTab("abc", 3));
}

TEST(TextHelpers, TextWidthExpandsTabs) {
    EXPECT_EQ(TextWidth("\tab", 3, 8), 10);
    EXPECT_EQ(TextWidth("ab\tc", 4, 8), 9);
    EXPECT_EQ(TextWidth("abcdefgh\t", 9, 8), 16); // a tab at a stop takes a full step
    EXPECT_EQ(TextWidth("\t\t", 2, 4), 8);
    EXPECT_EQ(TextWidth("a\tb", 3, 1), 3);
    EXPECT_EQ(TextWidth("abc", 10, 8), 3); // stops at the terminator
    EXPECT_EQ(TextWidth("abc", 2, 8), 2);
    EXPECT_EQ(TextWidth("a\tb", 3, 0), 3); // a tab size of 0 counts as 1
}

TEST(TextHelpers, CharsInWidth) {
    const std::string plain(100, 'x');
    EXPECT_EQ(CharsInWidth(plain.c_str(), 80, 8), 80);
    EXPECT_EQ(CharsInWidth("abc", 80, 8), 4); // terminator first: length + 1
    EXPECT_EQ(CharsInWidth("", 80, 8), 1);
    // Width 78, a tab starting at cell 76: the tab crosses the width and is the last one.
    const std::string tabbed = std::string(76, 'x') + "\tyz";
    EXPECT_EQ(CharsInWidth(tabbed.c_str(), 78, 8), 77);
    EXPECT_EQ(CharsInWidth("\tab", 10, 8), 3);  // 10 cells reach the width exactly
    EXPECT_EQ(CharsInWidth("\tabc", 10, 8), 3);
    EXPECT_EQ(CharsInWidth("a\t\tb", 9, 8), 3); // cells 1, 8, 16
}

TEST(TextHelpers, FindBreak) {
    const char* s = "aaaa bbbb";
    EXPECT_EQ(FindBreak(s, 4), s + 5); // the blank stays on the line
    const char* run = "ab   cd";
    EXPECT_EQ(FindBreak(run, 3), run + 5); // the whole run of blanks stays
    const char* hy = "ab-cdef";
    EXPECT_EQ(FindBreak(hy, 4), hy + 3); // after the hyphen
    const char* hyAtFit = "abcd-ef";
    EXPECT_EQ(FindBreak(hyAtFit, 4), hyAtFit + 5); // the hyphen at offset Fit stays too
    const char* hyBlank = "ab-  cd";
    EXPECT_EQ(FindBreak(hyBlank, 4), hyBlank + 5); // blanks after a hyphen stay as well
    const char* word = "abcdefgh";
    EXPECT_EQ(FindBreak(word, 4), word + 4); // hard cut
    const char* end = "abcd";
    EXPECT_EQ(FindBreak(end, 4), end + 4); // the terminator
    const char* trailing = "abcd   ";
    EXPECT_EQ(FindBreak(trailing, 4), trailing + 7); // blanks run into the terminator
    const char* lead = " abcdef";
    EXPECT_EQ(FindBreak(lead, 3), lead + 1); // a leading blank is still a break
    const char* tab = "ab\tcd";
    EXPECT_EQ(FindBreak(tab, 3), tab + 3);
}

TEST(TextHelpers, WordBreakLen) {
    EXPECT_EQ(WordBreakLen("abc def ghi", 9), 8);
    EXPECT_EQ(WordBreakLen("abcdefghij", 4), 4);
    EXPECT_EQ(WordBreakLen("abc\tdefghij", 6), 4);
    EXPECT_EQ(WordBreakLen("abcd efgh", 5), 5); // the blank is the last of the five
    EXPECT_EQ(WordBreakLen("abcd efgh", 4), 4);
    EXPECT_EQ(WordBreakLen("abc", 0), 0);
    // A text shorter than the limit is never read past its end.
    EXPECT_EQ(WordBreakLen("ab cd", 10), 3);
    EXPECT_EQ(WordBreakLen("abcd", 10), 4);
}

TEST(TextHelpers, LineBreakLen) {
    EXPECT_EQ(LineBreakLen("ab\ncd", 5), 3);
    EXPECT_EQ(LineBreakLen("ab\ncd", 2), 2);
    EXPECT_EQ(LineBreakLen("\n", 1), 1);
    EXPECT_EQ(LineBreakLen("abcd", 4), 4);
    EXPECT_EQ(LineBreakLen("abcd", 0), 0);
    EXPECT_EQ(LineBreakLen("a\rb\nc\n", 6), 4); // a carriage return is not a line feed
}

TEST(TextHelpers, PadTo) {
    char buf[16] = "abc";
    PadTo(buf, ' ', 6);
    EXPECT_STREQ(buf, "abc   ");
    PadTo(buf, '.', 4); // already longer: unchanged
    EXPECT_STREQ(buf, "abc   ");
    PadTo(buf, '.', 6);
    EXPECT_STREQ(buf, "abc   ");
    char empty[8] = {0, 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    PadTo(empty, '-', 3);
    EXPECT_STREQ(empty, "---");
    EXPECT_EQ(empty[4], 'x'); // nothing written after the terminator
}

} // namespace
