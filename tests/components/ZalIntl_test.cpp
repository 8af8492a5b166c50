#include "components/ZalIntl.h"

#include <gtest/gtest.h>

#include <clocale>
#include <map>
#include <string>

#include "tests/support/TestLocale.h"

namespace {
using TSection = std::map<std::string, std::string>;

// A profile section answering from a table as the platform does: the default for a missing
// or empty value.
TZalProfileReader Reader(TSection values) {
    auto table = std::make_shared<TSection>(std::move(values));
    auto value = [table](const std::string& key) {
        auto it = table->find(key);
        return it == table->end() ? std::string() : it->second;
    };
    return {[value](const std::string& key, const std::string& def) {
                return value(key).empty() ? def : value(key);
            },
            [value](const std::string& key, int def) {
                return value(key).empty() ? def : std::stoi(value(key));
            }};
}

// Every field in one line.
std::string Fields(const TZalIntlSup& s) {
    return "cur[" + s.CurrencyLtStr() + "|" + s.CurrencyRtStr() + "] " +
           std::to_string(s.CurrencyFormat()) + "/" + std::to_string(s.NegCurrencyFormat()) + "/" +
           std::to_string(s.CurrencyDigits()) + " sep[" + s.DecimalChar() + s.CommaChar() +
           s.ListChar() + s.SlashChar() + s.TimeSepChar() + "] " + s.YesChar() + s.NoChar() +
           s.TrueChar() + s.FalseChar() + " " + s.AMString() + "|" + s.PMString() + " [" +
           s.Country() + "] " + s.ShortDate() + " [" + s.LongDate() + "] " + s.Literal(0) + "|" +
           s.Literal(1) + "|" + s.Literal(2) + " " + (s.HourLeadingZero() ? "lz" : "") +
           (s.TwelveHour() ? "12h" : "24h");
}

const std::string kDefaults =
    "cur[$|$] 0/0/2 sep[.,,/:] YNTF AM|PM [] MM/dd/yy [wwww, nnnn dd, yyyy] || 12h";

// kDefaults with one part replaced.
std::string With(const std::string& from, const std::string& to) {
    std::string s = kDefaults;
    return s.replace(s.find(from), from.size(), to);
}
} // namespace

TEST(ZalIntl, ReadsAndNormalisesEverySetting) {
    const std::pair<TSection, std::string> cases[] = {
        {{}, kDefaults},
        {{{"sDecimal", "."}, {"sThousand", "."}}, kDefaults}, // a clash gives both defaults
        {{{"sDecimal", ","}, {"sThousand", "."}, {"sList", ";"}, {"iCurrDigits", "3"}},
         With("0/0/2 sep[.,,", "0/0/3 sep[,.;")},
        {{{"sCurrency", "kr"}, {"iCurrency", "3"}, {"iNegCurr", "8"}, {"sCountry", "Sweden"}},
         With("cur[$|$] 0/0/2 sep[.,,/:] YNTF AM|PM []",
              "cur[kr| kr] 3/8/2 sep[.,,/:] YNTF AM|PM [Sweden]")},
        {{{"sCurrency", "kr"}, {"iCurrency", "2"}}, With("cur[$|$] 0", "cur[kr |kr] 2")},
        {{{"sCurrency", "ABCDE"}, {"iCurrency", "3"}}, // no room for the space
         With("cur[$|$] 0", "cur[ABCDE|ABCDE] 3")},
        {{{"sDate", "."}, {"sShortDate", "dd.MM.yy"}, {"sTTime", "."}, {"s1159", "vorm."}},
         With("/:] YNTF AM|PM [] MM/dd/yy", "..] YNTF vorm.|PM [] dd/MM/yy")},
        {{{"sLongDate", "dddd, 'de' MMMM"}},
         With("[wwww, nnnn dd, yyyy] ||", "[wwww, ff nnnn] de||")},
        {{{"sLongDate", "d.MMMM yyyy"}}, With("wwww, nnnn dd, yyyy", "d. nnnn yyyy")},
        {{{"iTLZero", "1"}, {"sTimeFormat", "HH:mm:ss"}}, With("12h", "lz24h")},
        // Bad values fall back: over-long strings, letters, quotes and control characters as
        // separators, unknown codes.
        {{{"sCurrency", "ABCDEF"},
          {"s1159", "morning"},
          {"sDecimal", "x"},
          {"sThousand", "\t"},
          {"iCurrency", "7"},
          {"iNegCurr", "16"},
          {"iCurrDigits", "-1"},
          {"sDate", "'"},
          {"sShortDate", std::string(30, 'd')},
          {"sLongDate", std::string(40, 'y')}},
         kDefaults},
    };
    for (const auto& [section, expected] : cases)
        EXPECT_EQ(Fields(TZalIntlSup(Reader(section))), expected);
}

TEST(ZalIntl, LongDateLiteralsAndSpacesStayWithinTheirFields) {
    std::string slots[TZalIntlSup::kLiteralSlots];
    // Three slots; a fourth literal stays quoted, a long one is cut to its slot.
    EXPECT_EQ(NormalizeLongDate("'a' d 'bcdefgh' M 'c' y 'd'", slots), "f d ggggg M h y 'd'");
    EXPECT_EQ(slots[0] + "|" + slots[1] + "|" + slots[2], "a|bcdef|c");
    EXPECT_EQ(NormalizeLongDate("ddd dddd MMM MMMM 'x", slots), "www dddd nnn MMMM 'x");
    EXPECT_EQ(slots[0], "") << "an unclosed quote is no literal";
    // Spaces go in while there is room, and nothing is cut off the end.
    const std::string full = "d.M.y," + std::string(30, 'y') + ".d";
    EXPECT_EQ(NormalizeLongDate(full, slots), "d. M.y," + std::string(30, 'y') + ".d");
    EXPECT_EQ(NormalizeLongDate("d,", slots), "d, ");
}

TEST(ZalIntl, ReadsTheLocale) {
    const std::string previous = setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(setlocale(LC_ALL, "C"));
    const std::string c = Fields(TZalIntlSup());
    setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(c, With("12h", "lz24h")) << "the C locale: a 24-hour clock with leading zeros";

    TGermanLocale locale;
    SKIP_WITHOUT_GERMAN_LOCALE(locale);
    const TZalIntlSup de;
    EXPECT_EQ(std::string() + de.DecimalChar() + de.CommaChar() + de.ListChar() + de.SlashChar(),
              ",.;.");
    EXPECT_EQ(de.ShortDate(), "dd/MM/yyyy") << "day, month, year with the separator made /";
    EXPECT_EQ(de.CurrencyLtStr() + "|" + de.CurrencyRtStr(), "\x80| \x80");
    EXPECT_TRUE(de.HourLeadingZero() && !de.TwelveHour());
    EXPECT_FALSE(de.Country().empty());
}

TEST(ZalIntl, TheProcessWideInstanceLivesUntilDone) {
    InitZalIntl();
    TZalIntlSup* first = &ZalIntl();
    InitZalIntl();
    EXPECT_EQ(&ZalIntl(), first) << "created once";
    DoneZalIntl();
    EXPECT_NE(ZalIntl().DecimalChar(), '\0') << "and again on demand";
    DoneZalIntl();
}
