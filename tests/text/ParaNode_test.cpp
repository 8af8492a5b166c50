#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "text/ParaNode.h"
#include "text/TextAlloc.h"

namespace {

// A snapshot of a node's display lines: their starts and texts.
struct Lines {
    std::vector<int> starts;
    std::vector<std::string> texts;
};

Lines Snapshot(const TParaNode& n) {
    Lines l;
    for (int32_t k = 1; k <= n.LineCount(); ++k) {
        uint16_t len = 0;
        const char* t = n.GetLine(k, len);
        l.starts.push_back(n.LineStart(k));
        l.texts.emplace_back(t, len);
    }
    return l;
}

std::vector<std::string> Split(const TParaNode& n) { return Snapshot(n).texts; }

std::vector<std::string> Wrapped(const std::string& s, int width, int tab = 8) {
    TParaNode n(s.data(), static_cast<uint16_t>(s.size()), width, tab);
    return Split(n);
}

// Failing allocations are switched off again however a test ends.
struct AllocFaults {
    AllocFaults(int skip, int count) { TextAllocFailures(skip, count); }
    ~AllocFaults() { TextAllocFailures(0, 0); }
};

// --- Worked examples ---------------------------------------------------------------

TEST(ParaNodeWrap, EmptyParagraphIsOneEmptyLine) {
    TParaNode n("", 0, 80, 8);
    EXPECT_EQ(n.LineCount(), 1);
    EXPECT_EQ(n.TextCapacity(), 0);
    EXPECT_STREQ(n.GetText(), "");
    uint16_t len = 7;
    EXPECT_STREQ(n.GetLine(1, len), "");
    EXPECT_EQ(len, 0);
    len = 7;
    EXPECT_STREQ(n.GetLine(2, len), "");
    EXPECT_EQ(len, 0);
    EXPECT_STREQ(n.GetLine(0, len), "");
    EXPECT_EQ(n.TrimTrailing(), 0);
    EXPECT_EQ(n.TrailingBlanks(5), 0);
}

TEST(ParaNodeWrap, NoWrapWidthsGiveOneLine) {
    const std::string s(3000, 'x');
    for (int w : {kNoWrapWidth, kUnwrappedWidth}) {
        TParaNode n(s.data(), static_cast<uint16_t>(s.size()), w, 8);
        EXPECT_EQ(n.LineCount(), 1);
        uint16_t len = 0;
        EXPECT_EQ(n.GetLine(1, len), n.GetText());
        EXPECT_EQ(len, 3000);
        n.Rewrap(w, 8);
        EXPECT_EQ(n.LineCount(), 1);
    }
}

TEST(ParaNodeWrap, BreaksAtBlanksHyphensOrHard) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Wrapped("aaaa bbbb", 4), (V{"aaaa ", "bbbb"}));
    EXPECT_EQ(Wrapped("ab-cdef", 4), (V{"ab-", "cdef"}));
    EXPECT_EQ(Wrapped("abcd-ef", 4), (V{"abcd-", "ef"}));
    EXPECT_EQ(Wrapped("abcdefgh", 4), (V{"abcd", "efgh"}));
    EXPECT_EQ(Wrapped("ab   cd", 3), (V{"ab   ", "cd"})); // the whole blank run stays
    EXPECT_EQ(Wrapped("ab-  cd", 3), (V{"ab-  ", "cd"}));
    EXPECT_EQ(Wrapped("      ", 4), (V{"      "}));      // only blanks: one line
    EXPECT_EQ(Wrapped("\t\t \t \t", 2), (V{"\t\t \t \t"}));
    EXPECT_EQ(Wrapped("\tab", 10, 8), (V{"\tab"}));        // 10 cells fit width 10
    EXPECT_EQ(Wrapped("\tabc", 10, 8), (V{"\t", "abc"})); // the tab is a break too
}

TEST(ParaNodeWrap, PosToLineGivesFirstCharacterToItsLine) {
    TParaNode n("aaaa bbbb", 9, 4, 8); // lines start at 0 and 5
    int col = 0;
    EXPECT_EQ(n.PosToLine(6, col), 2);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(n.PosToLine(5, col), 1);
    EXPECT_EQ(col, 5);
    EXPECT_EQ(n.PosToLine(10, col), 2); // after the last character
    EXPECT_EQ(col, 5);
    EXPECT_EQ(n.PosToLine(1, col), 1);
    EXPECT_EQ(col, 1);
}

TEST(ParaNodeWrap, PosToLineOnLongParagraphsMatchesLinearSearch) {
    std::mt19937 rng(7);
    for (int lines : {21, 22, 40, 41, 301}) {
        std::string s;
        for (int i = 0; i < lines; ++i) s += std::string(4 + rng() % 6, 'a' + i % 26) + ' ';
        TParaNode n(s.data(), static_cast<uint16_t>(s.size()), 5, 8); // a line or two a word
        ASSERT_GT(n.LineCount(), 20);
        for (int pos = 0; pos <= n.Length() + 2; ++pos) {
            int32_t expect = 1;
            for (int32_t k = 1; k <= n.LineCount(); ++k)
                if (n.LineStart(k) <= pos - 1) expect = k;
            int col = 0;
            ASSERT_EQ(n.PosToLine(pos, col), expect) << "lines " << lines << " pos " << pos;
            EXPECT_EQ(col, pos - n.LineStart(expect));
        }
    }
}

// --- Sizes and capacities -------------------------------------------------------------

TEST(ParaNodeSizes, InitialBufferRoundsToEight) {
    EXPECT_EQ(TParaNode("abcde", 5, 80, 8).TextCapacity(), 8);
    EXPECT_EQ(TParaNode("abcdefg", 7, 80, 8).TextCapacity(), 8);
    EXPECT_EQ(TParaNode("abcdefgh", 8, 80, 8).TextCapacity(), 16);
    EXPECT_EQ(TParaNode("a", 1, 80, 8).TextCapacity(), 8);
}

TEST(ParaNodeSizes, TextGrowsInStepsOfSixteen) {
    TParaNode n("abcde", 5, 80, 8);
    int32_t f = 0, l = 0;
    ASSERT_EQ(n.InsertChars(6, "xyz", 3, 80, 8, f, l), ecSuccess); // 9 bytes fit in 8? no
    EXPECT_EQ(n.TextCapacity(), 16);
    EXPECT_STREQ(n.GetText(), "abcdexyz");
    ASSERT_EQ(n.InsertChars(1, "0123456", 7, 80, 8, f, l), ecSuccess); // needs 16: fits
    EXPECT_EQ(n.TextCapacity(), 16);
    ASSERT_EQ(n.InsertChars(1, "!", 1, 80, 8, f, l), ecSuccess); // needs 17
    EXPECT_EQ(n.TextCapacity(), 32);
    EXPECT_STREQ(n.GetText(), "!0123456abcdexyz");
    EXPECT_TRUE(n.EnsureTextCapacity(33));
    EXPECT_EQ(n.TextCapacity(), 48);
    EXPECT_TRUE(n.EnsureTextCapacity(20)); // never shrinks
    EXPECT_EQ(n.TextCapacity(), 48);
    n.DeleteChars(1, 16, 80, 8, f, l);
    EXPECT_EQ(n.TextCapacity(), 48);
    EXPECT_STREQ(n.GetText(), "");

    TParaNode empty("", 0, 80, 8); // no buffer yet: the first one starts empty
    ASSERT_TRUE(empty.EnsureTextCapacity(1));
    EXPECT_EQ(empty.TextCapacity(), 16);
    EXPECT_STREQ(empty.GetText(), "");
}

TEST(ParaNodeSizes, LineTableEstimateAndGrowth) {
    EXPECT_EQ(TParaNode::EstimateLines(1000, 0), 1);
    EXPECT_EQ(TParaNode::EstimateLines(1000, 32767), 1);
    EXPECT_EQ(TParaNode::EstimateLines(0, 80), 8);
    EXPECT_EQ(TParaNode::EstimateLines(1000, 80), 16);   // 12 + 2 = 14 -> 16
    EXPECT_EQ(TParaNode::EstimateLines(32767, 80), 496); // 409 + 81 = 490 -> 496
    EXPECT_EQ(TParaNode::EstimateLines(3200, 80), 48);   // 40 + 8 = 48
    EXPECT_EQ(TParaNode::EstimateLines(65535, 1), 13112); // 16-bit: 78642 wraps to 13106

    const std::string s(200, 'x');
    TParaNode unwrapped(s.data(), 200, 32767, 8);
    EXPECT_EQ(unwrapped.LineCapacity(), 1);
    TParaNode wrapped(s.data(), 200, 10, 8); // 20 + 4 -> 24 entries, 20 lines
    EXPECT_EQ(wrapped.LineCapacity(), 24);
    EXPECT_EQ(wrapped.LineCount(), 20);
    wrapped.Rewrap(5, 8); // 40 lines: grows in steps of eight
    EXPECT_EQ(wrapped.LineCount(), 40);
    EXPECT_EQ(wrapped.LineCapacity(), 48); // estimate 40 + 8 = 48
    wrapped.Rewrap(1, 8);                  // estimate 200 + 40 = 240
    EXPECT_EQ(wrapped.LineCount(), 200);
    EXPECT_EQ(wrapped.LineCapacity(), 240);
    wrapped.Rewrap(32767, 8); // tables never shrink
    EXPECT_EQ(wrapped.LineCapacity(), 240);

    TParaNode n("", 0, 32767, 8);
    EXPECT_TRUE(n.EnsureLineCapacity(1)); // at least eight
    EXPECT_EQ(n.LineCapacity(), 8);
    EXPECT_TRUE(n.EnsureLineCapacity(9));
    EXPECT_EQ(n.LineCapacity(), 16);
    EXPECT_TRUE(n.EnsureLineCapacity(16));
    EXPECT_EQ(n.LineCapacity(), 16);
    EXPECT_EQ(n.LineStart(1), 0);
}

// "a " and a nine-letter word: two lines per 12 characters at width 10, more than the
// estimate of 1.2 lines per 10 characters.
std::string ShortLines(int repeats) {
    std::string s;
    for (int i = 0; i < repeats; ++i) s += "a bbbbbbbbb ";
    return s;
}

TEST(ParaNodeSizes, LineTableGrowsWhileWrappingBeyondTheEstimate) {
    const std::string s = ShortLines(30); // 360 characters: estimate 36 + 7 -> 48
    TParaNode n(s.data(), static_cast<uint16_t>(s.size()), 10, 8);
    EXPECT_EQ(n.LineCount(), 60);
    EXPECT_EQ(n.LineCapacity(), 64);
    EXPECT_EQ(Split(n)[0], "a ");
    EXPECT_EQ(Split(n)[1], "bbbbbbbbb ");
}

TEST(ParaNodeSizes, SingleLineNodesAllocateOnlyTheirText) {
    // Millions of nodes: the links, two pointers, the count and four 16-bit fields.
    EXPECT_LE(sizeof(TParaNode), 48u);
    const long before = TextAllocCount();
    {
        TParaNode n("hello world", 11, 32767, 8);
        EXPECT_EQ(n.LineCapacity(), 1);
        TParaNode e("", 0, 80, 8); // no buffer; an 8-entry table
        EXPECT_EQ(e.LineCapacity(), 8);
    }
    EXPECT_EQ(TextAllocCount() - before, 2);
    const long again = TextAllocCount();
    { TParaNode e("", 0, 32767, 8); }
    EXPECT_EQ(TextAllocCount(), again); // nothing at all
}

// --- Creation ---------------------------------------------------------------------------

TEST(ParaNodeCreate, LengthIsWhatWasCopied) {
    const char text[] = "abc\0def";
    TParaNode n(text, 7, 80, 8); // an early zero byte ends the copy
    EXPECT_EQ(n.Length(), 3);
    EXPECT_STREQ(n.GetText(), "abc");
    EXPECT_EQ(n.TextCapacity(), 8);
    uint16_t len = 0;
    n.GetLine(1, len);
    EXPECT_EQ(len, 3);

    TParaNode z("\0abc", 4, 80, 8);
    EXPECT_EQ(z.Length(), 0);
    EXPECT_EQ(z.TextCapacity(), 0);

    TParaNode part("abcdef", 3, 80, 8); // at most len characters
    EXPECT_STREQ(part.GetText(), "abc");
    TParaNode none(nullptr, 5, 80, 8);
    EXPECT_EQ(none.Length(), 0);
}

TEST(ParaNodeCreate, LongestParagraphs) {
    std::string s(65534, 'x');
    TParaNode n(s.data(), 65534, 32767, 8);
    EXPECT_EQ(n.Length(), 65534);
    EXPECT_EQ(n.TextCapacity(), 65535);
    int32_t f = 0, l = 0;
    EXPECT_EQ(n.InsertChars(1, "y", 1, 32767, 8, f, l), ecOutOfMemory);
    EXPECT_EQ(n.Length(), 65534);
    s.push_back('x');
    EXPECT_THROW(TParaNode(s.data(), 65535, 32767, 8), ETextOutOfMemory);
}

// --- Editing -----------------------------------------------------------------------------

TEST(ParaNodeEdit, InsertBeyondTheEndPadsWithSpaces) {
    TParaNode n("abc", 3, 80, 8);
    int32_t f = 0, l = 0;
    ASSERT_EQ(n.InsertChars(6, "xy", 2, 80, 8, f, l), ecSuccess); // length + 3
    EXPECT_STREQ(n.GetText(), "abc  xy");
    EXPECT_EQ(n.Length(), 7);
    TParaNode e("", 0, 80, 8);
    ASSERT_EQ(e.InsertChars(4, "", 0, 80, 8, f, l), ecSuccess); // padding alone
    EXPECT_STREQ(e.GetText(), "   ");
}

TEST(ParaNodeEdit, DeleteAndTrim) {
    TParaNode n("abcde", 5, 80, 8);
    int32_t f = 0, l = 0;
    n.DeleteChars(3, 10, 80, 8, f, l);
    EXPECT_STREQ(n.GetText(), "ab");
    EXPECT_EQ(n.Length(), 2);
    n.DeleteChars(3, 1, 80, 8, f, l); // past the end: nothing
    EXPECT_STREQ(n.GetText(), "ab");
    n.DeleteChars(1, 1, 80, 8, f, l);
    EXPECT_STREQ(n.GetText(), "b");

    TParaNode t("abc \t ", 6, 80, 8);
    EXPECT_EQ(t.TrailingBlanks(6), 3);
    EXPECT_EQ(t.TrailingBlanks(5), 2);
    EXPECT_EQ(t.TrailingBlanks(3), 0);
    EXPECT_EQ(t.TrailingBlanks(100), 3);
    EXPECT_EQ(t.TrimTrailing(), 3);
    EXPECT_STREQ(t.GetText(), "abc");
    EXPECT_EQ(t.Length(), 3);
    EXPECT_EQ(t.TrimTrailing(), 0);
}

TEST(ParaNodeEdit, ReplaceShorterLongerAndEqual) {
    TParaNode n("hello world", 11, 80, 8);
    int32_t f = 0, l = 0;
    ASSERT_EQ(n.ReplaceChars(7, 5, "there", 5, 80, 8, f, l), ecSuccess);
    EXPECT_STREQ(n.GetText(), "hello there");
    ASSERT_EQ(n.ReplaceChars(1, 5, "hi", 2, 80, 8, f, l), ecSuccess);
    EXPECT_STREQ(n.GetText(), "hi there");
    ASSERT_EQ(n.ReplaceChars(4, 5, "everybody!", 10, 80, 8, f, l), ecSuccess);
    EXPECT_STREQ(n.GetText(), "hi everybody!");
    ASSERT_EQ(n.ReplaceChars(14, 0, "?", 1, 80, 8, f, l), ecSuccess); // at the end
    EXPECT_STREQ(n.GetText(), "hi everybody!?");
    ASSERT_EQ(n.ReplaceChars(1, 3, "", 0, 80, 8, f, l), ecSuccess);
    EXPECT_STREQ(n.GetText(), "everybody!?");
    EXPECT_EQ(n.Length(), 11);
}

TEST(ParaNodeEdit, BadArgumentsChangeNothing) {
    TParaNode n("abc", 3, 80, 8);
    int32_t f = 0, l = 0;
    EXPECT_EQ(n.InsertChars(0, "x", 1, 80, 8, f, l), ecRegionTooLarge);
    EXPECT_EQ(n.InsertChars(1, "x", -1, 80, 8, f, l), ecRegionTooLarge);
    EXPECT_EQ(n.ReplaceChars(3, 2, "xy", 2, 80, 8, f, l), ecRegionTooLarge); // span past the end
    EXPECT_EQ(n.ReplaceChars(5, 0, "x", 1, 80, 8, f, l), ecRegionTooLarge);
    EXPECT_EQ(n.ReplaceChars(0, 1, "x", 1, 80, 8, f, l), ecRegionTooLarge);
    n.DeleteChars(0, 2, 80, 8, f, l);
    n.DeleteChars(1, -2, 80, 8, f, l);
    EXPECT_STREQ(n.GetText(), "abc");
    EXPECT_EQ(n.Length(), 3);
}

TEST(ParaNodeEdit, InsertingTextOfTheParagraphItself) {
    TParaNode n("abcdefg", 7, 80, 8); // capacity 8: the insertion moves the buffer
    int32_t f = 0, l = 0;
    ASSERT_EQ(n.InsertChars(1, n.GetText() + 4, 3, 80, 8, f, l), ecSuccess);
    EXPECT_STREQ(n.GetText(), "efgabcdefg");
    ASSERT_EQ(n.ReplaceChars(1, 1, n.GetText() + 1, 5, 80, 8, f, l), ecSuccess);
    EXPECT_STREQ(n.GetText(), "fgabcfgabcdefg");
}

TEST(ParaNodeEdit, InsertAtStartOfLongParagraphShiftsLaterLines) {
    std::string s;
    std::mt19937 rng(3);
    while (s.size() < 3000) s += std::string(2 + rng() % 8, 'w') + ' ';
    TParaNode n(s.data(), static_cast<uint16_t>(s.size()), 80, 8);
    const Lines before = Snapshot(n);
    int32_t f = 0, l = 0;
    ASSERT_EQ(n.InsertChars(1, "x", 1, 80, 8, f, l), ecSuccess);
    EXPECT_EQ(f, 1);
    EXPECT_GE(l, 1);
    ASSERT_EQ(n.LineCount(), static_cast<int32_t>(before.starts.size()));
    for (int32_t k = l + 1; k <= n.LineCount(); ++k)
        EXPECT_EQ(n.LineStart(k), before.starts[k - 1] + 1) << "line " << k;
}

// --- Memory failures ------------------------------------------------------------------

TEST(ParaNodeMemory, CreationFailsWithMessage30197) {
    const std::string s(500, 'x');
    for (int skip : {0, 1}) { // the text buffer, then the line table
        AllocFaults faults(skip, 1);
        try {
            TParaNode n(s.data(), 500, 10, 8);
            FAIL() << "no error, skip " << skip;
        } catch (const ETextOutOfMemory& e) {
            EXPECT_EQ(e.MessageNumber(), 30197);
            EXPECT_STREQ(e.what(), "insufficient memory for requested operation");
        }
    }
    // The table outgrows its estimate while wrapping: the growth fails.
    const std::string s2 = ShortLines(30);
    AllocFaults faults(2, 1);
    EXPECT_THROW(TParaNode(s2.data(), static_cast<uint16_t>(s2.size()), 10, 8), ETextOutOfMemory);
}

TEST(ParaNodeMemory, FailedTextGrowthChangesNothing) {
    TParaNode n("abcdefg", 7, 80, 8);
    int32_t f = 0, l = 0;
    {
        AllocFaults faults(0, 100);
        EXPECT_EQ(n.InsertChars(3, "xyz", 3, 80, 8, f, l), ecOutOfMemory);
        EXPECT_EQ(n.InsertChars(12, "", 0, 80, 8, f, l), ecOutOfMemory); // padding too
        EXPECT_EQ(n.ReplaceChars(3, 1, "xyz", 3, 80, 8, f, l), ecOutOfMemory);
        EXPECT_FALSE(n.EnsureTextCapacity(100));
        EXPECT_STREQ(n.GetText(), "abcdefg");
        EXPECT_EQ(n.TextCapacity(), 8);
        // Edits that need no new memory still work.
        EXPECT_EQ(n.ReplaceChars(1, 2, "AB", 2, 80, 8, f, l), ecSuccess);
        EXPECT_EQ(n.ReplaceChars(3, 2, "C", 1, 80, 8, f, l), ecSuccess);
        n.DeleteChars(6, 1, 80, 8, f, l);
    }
    EXPECT_STREQ(n.GetText(), "ABCef");
    EXPECT_EQ(n.TextCapacity(), 8);
}

TEST(ParaNodeMemory, FailedLineTableGrowthChangesNothing) {
    TParaNode n("", 0, 32767, 8);
    {
        AllocFaults faults(0, 1);
        EXPECT_FALSE(n.EnsureLineCapacity(9));
    }
    EXPECT_EQ(n.LineCapacity(), 1);

    // Eight lines in sixteen entries; nine more characters need seventeen.
    TParaNode w("abcdefgh", 8, 1, 8);
    ASSERT_EQ(w.LineCount(), 8);
    ASSERT_EQ(w.LineCapacity(), 16);
    const Lines before = Snapshot(w);
    int32_t f = 0, l = 0;
    {
        AllocFaults faults(1, 1); // the text may grow, the table may not
        EXPECT_EQ(w.InsertChars(9, "ijklmnopq", 9, 1, 8, f, l), ecOutOfMemory);
    }
    EXPECT_STREQ(w.GetText(), "abcdefgh");
    EXPECT_EQ(w.Length(), 8);
    EXPECT_EQ(Snapshot(w).starts, before.starts);
    EXPECT_EQ(w.LineCapacity(), 16);
    ASSERT_EQ(w.InsertChars(9, "ijklmnopq", 9, 1, 8, f, l), ecSuccess);
    EXPECT_EQ(w.LineCount(), 17);
    EXPECT_EQ(w.LineCapacity(), 24);
}

// Lines of a table left short after a failure still cover the text exactly.
void ExpectConsistent(const TParaNode& n) {
    std::string joined;
    for (const std::string& t : Split(n)) joined += t;
    EXPECT_EQ(joined, std::string(n.GetText()));
    for (int32_t k = 2; k <= n.LineCount(); ++k) EXPECT_LT(n.LineStart(k - 1), n.LineStart(k));
}

TEST(ParaNodeMemory, ReplaceKeepsItsTextWhenTheTableCannotGrow) {
    const std::string x(120, 'x');
    TParaNode n(x.data(), 120, 10, 8); // 12 lines in 16 entries
    ASSERT_EQ(n.LineCapacity(), 16);
    const std::string pairs = ShortLines(10); // 120 characters, 20 lines
    int32_t f = 0, l = 0;
    {
        AllocFaults faults(0, 1);
        EXPECT_EQ(n.ReplaceChars(1, 120, pairs.data(), 120, 10, 8, f, l), ecSuccess);
    }
    EXPECT_EQ(std::string(n.GetText()), pairs);
    EXPECT_EQ(n.LineCount(), 16); // all it could hold; the last line runs to the end
    EXPECT_EQ(f, 1);
    EXPECT_EQ(l, n.LineCount());
    ExpectConsistent(n);
    n.Rewrap(10, 8);
    EXPECT_EQ(n.LineCount(), 20);

    TParaNode r(x.data(), 120, 10, 8);
    {
        AllocFaults faults(1, 1); // text grows; the table fails while the longer text wraps
        EXPECT_EQ(r.ReplaceChars(1, 120, (pairs + pairs).data(), 240, 10, 8, f, l), ecSuccess);
    }
    EXPECT_EQ(std::string(r.GetText()), pairs + pairs);
    ExpectConsistent(r);
    TParaNode fresh(r.GetText(), r.Length(), 10, 8);
    EXPECT_EQ(Snapshot(r).starts, Snapshot(fresh).starts);

    TParaNode w(x.data(), 120, 10, 8);
    {
        AllocFaults faults(0, 3);
        w.Rewrap(4, 8); // 30 lines wanted; the table stays at 16
    }
    EXPECT_EQ(w.LineCount(), 16);
    ExpectConsistent(w);
}

// --- Incremental re-breaking against a full rebuild ---------------------------------

class RandomText {
public:
    explicit RandomText(uint32_t seed) : rng_(seed) {}
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

    // Words, blank runs (spaces and tabs), hyphens and now and then a very long word.
    std::string Text(int length) {
        std::string s;
        while (static_cast<int>(s.size()) < length) {
            const int kind = Below(20);
            if (kind < 10) {
                s.append(1 + Below(9), static_cast<char>('a' + Below(26)));
            } else if (kind < 14) {
                s.push_back(' ');
            } else if (kind < 16) {
                s.append(1 + Below(4), Below(2) ? ' ' : '\t');
            } else if (kind < 18) {
                s.push_back('-');
            } else if (kind < 19) {
                s.append(20 + Below(200), 'L');
            } else {
                s.push_back('\t');
            }
        }
        s.resize(static_cast<size_t>(length));
        return s;
    }
    int Width() {
        const int r = Below(20);
        if (r == 0) return 0;
        if (r == 1) return 32767;
        return r < 10 ? 1 + Below(12) : 1 + Below(120);
    }

private:
    std::mt19937 rng_;
};

std::string Describe(const Lines& l) {
    std::ostringstream o;
    for (size_t i = 0; i < l.starts.size(); ++i) o << l.starts[i] << ":'" << l.texts[i] << "' ";
    return o.str();
}

// After every edit the table equals a fresh wrap of the same text, and the reported
// range covers every display line that changed: its text differs, or it starts
// elsewhere than before moved by the edit (lines after the edit move by its change in
// length without being re-broken).
void CheckEdit(const TParaNode& n, const Lines& before, int p, int32_t first, int32_t last,
               int width, int tab) {
    const std::string text = n.GetText();
    ASSERT_EQ(static_cast<size_t>(n.Length()), text.size());
    TParaNode fresh(text.data(), static_cast<uint16_t>(text.size()), width, tab);
    const Lines after = Snapshot(n);
    ASSERT_EQ(after.starts, Snapshot(fresh).starts)
        << "after:  " << Describe(after) << "\nbefore: " << Describe(before);
    ASSERT_GE(n.LineCapacity(), n.LineCount());
    int oldLength = 0;
    for (const std::string& t : before.texts) oldLength += static_cast<int>(t.size());
    const int delta = static_cast<int>(text.size()) - oldLength;
    auto changed = [&](size_t i) {
        if (before.texts[i] != after.texts[i]) return true;
        const int moved = before.starts[i] > p ? before.starts[i] + delta : before.starts[i];
        return after.starts[i] != moved && after.starts[i] != before.starts[i];
    };
    const size_t common = std::min(before.starts.size(), after.starts.size());
    size_t firstChanged = common;
    for (size_t i = 0; i < common && firstChanged == common; ++i)
        if (changed(i)) firstChanged = i;
    if (before.starts.size() != after.starts.size()) {
        ASSERT_LE(first, static_cast<int32_t>(firstChanged) + 1)
            << "count " << before.starts.size() << " -> " << after.starts.size()
            << "\nafter:  " << Describe(after) << "\nbefore: " << Describe(before);
        return;
    }
    for (size_t i = firstChanged; i < common; ++i) {
        if (!changed(i)) continue;
        const int32_t line = static_cast<int32_t>(i) + 1;
        ASSERT_TRUE(first <= line && line <= last)
            << "line " << line << " changed outside " << first << ".." << last
            << "\nafter:  " << Describe(after) << "\nbefore: " << Describe(before);
    }
}

void RunRandomEdits(uint32_t seed, int cases, int maxLength, int longEvery) {
    RandomText r(seed);
    for (int c = 0; c < cases; ++c) {
        const int length = (longEvery > 0 && c % longEvery == 0) ? 1000 + r.Below(7000)
                                                                  : r.Below(maxLength);
        const int width = r.Width();
        const int tab = 1 + r.Below(16);
        std::string text = r.Text(length);
        TParaNode n(text.data(), static_cast<uint16_t>(text.size()), width, tab);
        for (int e = 0; e < 6; ++e) {
            const Lines before = Snapshot(n);
            const int len = n.Length();
            const int op = r.Below(3);
            const std::string piece = r.Text(r.Below(4) == 0 ? r.Below(150) : 1 + r.Below(6));
            int32_t first = -1, last = -1;
            std::ostringstream what;
            what << "seed " << seed << " case " << c << " edit " << e << " width " << width
                 << " tab " << tab << " text '" << n.GetText() << "' ";
            if (op == 0) {
                const int pos = 1 + r.Below(len + (r.Below(8) == 0 ? 6 : 1));
                what << "insert at " << pos << " '" << piece << "'";
                SCOPED_TRACE(what.str());
                ASSERT_EQ(n.InsertChars(pos, piece.data(), static_cast<int>(piece.size()), width,
                                        tab, first, last),
                          ecSuccess);
                CheckEdit(n, before, pos - 1, first, last, width, tab);
            } else if (op == 1) {
                const int pos = 1 + r.Below(len + 2);
                const int count = r.Below(4) == 0 ? r.Below(200) : r.Below(6);
                what << "delete " << count << " at " << pos;
                SCOPED_TRACE(what.str());
                n.DeleteChars(pos, count, width, tab, first, last);
                CheckEdit(n, before, pos - 1, first, last, width, tab);
            } else {
                const int pos = 1 + r.Below(len + 1);
                const int oldCount = r.Below(std::min(len - pos + 1, r.Below(3) ? 8 : 200) + 1);
                what << "replace " << oldCount << " at " << pos << " by '" << piece << "'";
                SCOPED_TRACE(what.str());
                ASSERT_EQ(n.ReplaceChars(pos, oldCount, piece.data(),
                                         static_cast<int>(piece.size()), width, tab, first, last),
                          ecSuccess);
                CheckEdit(n, before, pos - 1, first, last, width, tab);
            }
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

// Each shortcut of the incremental re-break (stop, line removed, line added) may only be
// taken where the text after the break is the old text moved by the edit; and a replace
// changes its length after the overwritten part. These cases broke each rule once.
TEST(ParaNodeIncremental, ShortcutsOnlyPastTheChangedText) {
    struct Case {
        const char* text;
        int width, tab, pos, oldCount;
        const char* piece; // inserted (oldCount < 0), or replacing oldCount characters
        int deleteCount;   // when piece is null
    };
    const std::string ls(67, 'L');
    const std::string removed = "- LLLLLr " + ls;
    const Case cases[] = {
        {"\t    -ayyyytttttttLLLL-fffffLLLLLLL   a LLLLLLLLLLLLLLLLLL", 12, 6, 2, 6, " c", 0},
        {removed.c_str(), 5, 4, 6, -1, nullptr, 5},
        {"jjjjffffggggggLLLLLLLLLLLLLLLLLLLLL", 3, 3, 18, -1, "zz-", 0},
        {"tttdddddddddjjjjjjs-pppppp nnnnnnnsssyyyyyuuus-uuuuuuuu ssssssss\t\t bbbbbbqqqq-", 5, 4,
         20, 8, "fff", 0},
        {"  ccccccccc\t     rrrrddddddddttttlllllll    --sslllllyyvvv jjjjjj-qqqqqqqqq--vvvvaa "
         "yyyyyyy",
         9, 12, 47, 29, "eeeeeeeewwwwwwww\t  \t\t\tn   \t\t\t\trrrrrrrq", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TParaNode n(c.text, static_cast<uint16_t>(std::strlen(c.text)), c.width, c.tab);
        const Lines before = Snapshot(n);
        int32_t f = 0, l = 0;
        if (!c.piece) {
            n.DeleteChars(c.pos, c.deleteCount, c.width, c.tab, f, l);
        } else if (c.oldCount < 0) {
            const int len = static_cast<int>(std::strlen(c.piece));
            ASSERT_EQ(n.InsertChars(c.pos, c.piece, len, c.width, c.tab, f, l), ecSuccess);
        } else {
            const int len = static_cast<int>(std::strlen(c.piece));
            ASSERT_EQ(n.ReplaceChars(c.pos, c.oldCount, c.piece, len, c.width, c.tab, f, l),
                      ecSuccess);
        }
        CheckEdit(n, before, c.pos - 1, f, l, c.width, c.tab);
    }
}

TEST(ParaNodeIncremental, ShortParagraphsMatchFullRebuild) {
    for (uint32_t seed = 1; seed <= 4; ++seed) RunRandomEdits(seed, 2500, 300, 0);
}

TEST(ParaNodeIncremental, LongParagraphsMatchFullRebuild) {
    for (uint32_t seed = 11; seed <= 12; ++seed) RunRandomEdits(seed, 300, 600, 3);
}

TEST(ParaNodeIncremental, NarrowWidthsMatchFullRebuild) {
    // Widths of a few cells make the line-added and line-removed shortcuts common.
    RandomText r(3);
    for (int c = 0; c < 3000; ++c) {
        const int width = 1 + r.Below(6);
        const int tab = 1 + r.Below(4);
        std::string text = r.Text(r.Below(40));
        TParaNode n(text.data(), static_cast<uint16_t>(text.size()), width, tab);
        const Lines before = Snapshot(n);
        const std::string piece = r.Text(1 + r.Below(3));
        const int pos = 1 + r.Below(n.Length() + 1);
        int32_t first = 0, last = 0;
        std::ostringstream what;
        what << "seed 3 case " << c << " width " << width << " tab " << tab << " text '" << text
             << "' pos " << pos << " piece '" << piece << "'";
        SCOPED_TRACE(what.str());
        if (c % 2) {
            ASSERT_EQ(n.InsertChars(pos, piece.data(), static_cast<int>(piece.size()), width, tab,
                                    first, last),
                      ecSuccess);
        } else {
            n.DeleteChars(pos, 1 + r.Below(3), width, tab, first, last);
        }
        CheckEdit(n, before, pos - 1, first, last, width, tab);
        if (HasFatalFailure()) return;
    }
}

} // namespace
