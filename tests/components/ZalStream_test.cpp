#include "components/ZalStream.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::string AllBytes() {
    std::string s;
    for (int c = 0; c < 256; ++c) s += static_cast<char>(c);
    return s;
}

TEST(ZalStream, WritesOneValuePerLineWithIndentedLists) {
    TZalValueWriter w;
    w.WriteListBegin();
    w.WriteString("Default");
    w.WriteBoolean(true);
    w.WriteListBegin();
    w.WriteListEnd();
    w.WriteString("It's");
    w.WriteBoolean(false);
    w.WriteListBegin();
    w.WriteInteger(-1);
    w.WriteInteger(65535);
    w.WriteListEnd();
    w.WriteListEnd();
    EXPECT_EQ(w.Text(),
              "(\n"
              "  'Default'\n"
              "  True\n"
              "  ()\n"
              "  'It''s'\n"
              "  False\n"
              "  (\n"
              "    -1\n"
              "    65535\n"
              "  )\n"
              ")\n");
}

TEST(ZalStream, StringsRoundTripEveryByte) {
    const std::string samples[] = {"", "'", "''", "a'b", "line\r\nnext", AllBytes(),
                                   std::string("\0x\0", 3), "\x80\xff plain"};
    TZalValueWriter w;
    for (const auto& s : samples) w.WriteString(s);
    const std::string text = w.Text();
    // Control characters and high bytes are written as codes, so the text is plain ASCII
    // with one value per line.
    for (char c : text) EXPECT_TRUE(c == '\n' || (c >= 32 && c < 127)) << int(c);

    TZalValueReader r(text);
    for (const auto& s : samples) EXPECT_EQ(r.ReadString(), s);
    EXPECT_TRUE(r.AtEnd());
}

TEST(ZalStream, ReaderAcceptsAnyLayoutAndMixedStringParts) {
    TZalValueReader r("'Default' true (1 -2\t+3)\r\n#65'b'#67 ''  FALSE ()");
    EXPECT_EQ(r.NextValue(), TZalValueKind::vkString);
    EXPECT_EQ(r.ReadString(), "Default");
    EXPECT_TRUE(r.ReadBoolean());
    r.ReadListBegin();
    std::vector<int64_t> values;
    while (!r.EndOfList()) values.push_back(r.ReadInteger());
    r.ReadListEnd();
    EXPECT_EQ(values, (std::vector<int64_t>{1, -2, 3}));
    EXPECT_EQ(r.ReadString(), "AbC");
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_FALSE(r.ReadBoolean());
    r.ReadListBegin();
    EXPECT_TRUE(r.EndOfList());
    r.ReadListEnd();
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.NextValue(), TZalValueKind::vkEnd);
}

TEST(ZalStream, IntegersCoverTheSignedRange) {
    TZalValueWriter w;
    w.WriteInteger(INT64_MIN);
    w.WriteInteger(INT64_MAX);
    TZalValueReader r(w.Text());
    EXPECT_EQ(r.ReadInteger(), INT64_MIN);
    EXPECT_EQ(r.ReadInteger(), INT64_MAX);
}

TEST(ZalStream, MalformedInputNamesLineAndProblem) {
    using K = TZalValueKind;
    const struct {
        const char* text;
        K kind; // what the caller asks for
        const char* error;
    } cases[] = {
        {"\n\n42", K::vkString, "line 3: expected a string, found an integer"},
        {"'x'", K::vkBoolean, "line 1: expected a boolean, found a string"},
        {"", K::vkListEnd, "line 1: expected a list end, found the end of the stream"},
        {"True", K::vkListBegin, "line 1: expected a list start, found a boolean"},
        {"'abc", K::vkString, "line 1: unterminated string"},
        {"'a\nb'", K::vkString, "line 1: unterminated string"},
        {"#256", K::vkString, "line 1: character code out of range after #"},
        {"#x", K::vkString, "line 1: character code expected after #"},
        {"'a'b", K::vkString, "line 1: unexpected character after a string"},
        {"12x", K::vkInteger, "line 1: not a number: 12x"},
        {"-", K::vkInteger, "line 1: not a number: -"},
        {"99999999999999999999", K::vkInteger, "line 1: integer out of range: 99999999999999999999"},
        {"Yes", K::vkBoolean, "line 1: unknown word Yes"},
        {"  {", K::vkEnd, "line 1: unexpected character '{'"},
    };
    for (const auto& c : cases) {
        TZalValueReader r(c.text);
        try {
            switch (c.kind) {
            case K::vkString: r.ReadString(); break;
            case K::vkBoolean: r.ReadBoolean(); break;
            case K::vkInteger: r.ReadInteger(); break;
            case K::vkListBegin: r.ReadListBegin(); break;
            case K::vkListEnd: r.ReadListEnd(); break;
            case K::vkEnd: r.NextValue(); break;
            }
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const EZalStreamError& e) {
            EXPECT_EQ(e.what(), std::string("Invalid value stream at ") + c.error);
        }
    }
}

TEST(ZalStream, EndOfListInsideAnUnclosedListIsAnError) {
    TZalValueReader r("( 1 2");
    r.ReadListBegin();
    EXPECT_FALSE(r.EndOfList());
    r.ReadInteger();
    r.ReadInteger();
    try {
        r.EndOfList();
        FAIL() << "missing list end accepted";
    } catch (const EZalStreamError& e) {
        EXPECT_STREQ(e.what(),
                     "Invalid value stream at line 1: expected a list end, found the end of the stream");
        EXPECT_EQ(e.Line, 1);
    }
}

TEST(ZalStream, UnbalancedListEndIsACallerError) {
    TZalValueWriter w;
    EXPECT_THROW(w.WriteListEnd(), std::logic_error);
    w.WriteListBegin();
    EXPECT_EQ(w.Text(), "(\n"); // an open list shows its start
    w.WriteListEnd();
    EXPECT_EQ(w.Text(), "()\n");
}

} // namespace
