#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/StringSearch.h"

namespace {
// Letters in both cases (with 1252 pairs above 127: é/É, ÿ/Ÿ, š/Š), a delimiter, and
// bytes without a case partner (ß, µ).
const std::string kAlphabet = "aAbB \xE9\xC9\xFF\x9F\x9A\x8A\xDF\xB5";

std::string Upper(std::string s) {
    for (char& c : s) c = char(UpperCaseTable()[uint8_t(c)]);
    return s;
}
} // namespace

TEST(StringSearch, SkipTableAndUpperCase) {
    const TSkipTable skip = MakeSkipTable("abcab");
    EXPECT_EQ(skip['a'], 1) << "the later 'a' decides";
    EXPECT_EQ(skip['b'], 3) << "the last byte's own entry comes from its earlier place";
    EXPECT_EQ(skip['c'], 2);
    EXPECT_EQ(skip['z'], 5);
    EXPECT_EQ(MakeSkipTable(std::string(300, 'x'))['y'], 255);
    EXPECT_EQ(UpperCaseTable()['a'], 'A');
    EXPECT_EQ(UpperCaseTable()[0xE9], 0xC9);
    EXPECT_EQ(UpperCaseTable()[0xFF], 0x9F);
    EXPECT_EQ(UpperCaseTable()[0xDF], 0xDF);
    EXPECT_EQ(UpperCaseTable()['1'], '1');
}

// The primitives and the prepared pattern against std::string::find on random texts of
// every length up to past a few 16-byte blocks, patterns of 0 to 20 bytes.
TEST(StringSearch, AllFindersAgreeWithAPlainFind) {
    std::mt19937 rng(17);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    for (int round = 0; round < 20000; ++round) {
        const int alphabet = 2 + pick(int(kAlphabet.size()) - 1);
        std::string text(size_t(pick(90)), ' ');
        for (char& c : text) c = kAlphabet[size_t(pick(alphabet))];
        std::string pattern;
        if (!text.empty() && pick(2)) {
            const int at = pick(int(text.size()));
            pattern = text.substr(size_t(at), size_t(pick(20)));
        } else {
            pattern.resize(size_t(pick(6)));
            for (char& c : pattern) c = kAlphabet[size_t(pick(alphabet))];
        }
        for (const bool matchCase : {true, false}) {
            SCOPED_TRACE("text '" + text + "' pattern '" + pattern + "' matchCase " + std::to_string(matchCase));
            const std::string t = matchCase ? text : Upper(text);
            const std::string p = matchCase ? pattern : Upper(pattern);
            const size_t first = p.empty() ? std::string::npos : t.find(p);
            const size_t last = p.empty() ? std::string::npos : t.rfind(p);

            int offset = -1;
            const bool found = matchCase ? FindCaseSensitive(text.data(), int(text.size()), MakeSkipTable(p), offset, p)
                                         : FindUpperCase(text.data(), int(text.size()), MakeSkipTable(p), offset, p);
            ASSERT_EQ(found ? size_t(offset) : std::string::npos, first);

            const TPatternFinder finder(pattern, matchCase);
            ASSERT_EQ(finder.Pattern(), p);
            ASSERT_EQ(finder.Find(text.data(), int(text.size())), first == std::string::npos ? -1 : int(first));
            ASSERT_EQ(finder.FindLast(text.data(), int(text.size())), last == std::string::npos ? -1 : int(last));
        }
    }
}
