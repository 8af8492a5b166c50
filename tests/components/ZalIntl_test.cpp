#include "components/ZalIntl.h"

#include <gtest/gtest.h>

#include <clocale>
#include <map>
#include <string>

#include "tests/support/TestLocale.h"

namespace {
// A profile section that answers from a table, as the platform does: the default for a
// missing or empty value.
TZalProfileReader Section(std::map<std::string, std::string> values) {
    auto table = std::make_shared<std::map<std::string, std::string>>(std::move(values));
    TZalProfileReader reader;
    reader.String = [table](const std::string& key, const std::string& def) {
        auto it = table->find(key);
        return it == table->end() || it->second.empty() ? def : it->second;
    };
    reader.Int = [table](const std::string& key, int def) {
        auto it = table->find(key);
        return it == table->end() || it->second.empty() ? def : std::stoi(it->second);
    };
    return reader;
}

// Every field in one line, so that a table of cases reads as what it expects.
std::string Fields(const TZalIntlSup& s) {
    std::string out;
    out += "cur[" + s.CurrencyLtStr() + "|" + s.CurrencyRtStr() + "] fmt" +
           std::to_string(s.CurrencyFormat()) + "/" + std::to_string(s.NegCurrencyFormat()) +
           " dig" + std::to_string(s.CurrencyDigits());
    out += std::string(" sep[") + s.DecimalChar() + s.CommaChar() + s.ListChar() + s.SlashChar() +
           s.TimeSepChar() + "] ynTF[" + s.YesChar() + s.NoChar() + s.TrueChar() + s.FalseChar() +
           "]";
    out += " ampm[" + s.AMString() + "|" + s.PMString() + "] country[" + s.Country() + "]";
    out += " short[" + s.ShortDate() + "] long[" + s.LongDate() + "] lit[" + s.Literal(0) + "|" +
           s.Literal(1) + "|" + s.Literal(2) + "]";
    out += std::string(" lz") + (s.HourLeadingZero() ? "1" : "0") + " h12" +
           (s.TwelveHour() ? "1" : "0");
    return out;
}

const std::string kDefaults =
    "cur[$|$] fmt0/0 dig2 sep[.,,/:] ynTF[YNTF] ampm[AM|PM] country[] short[MM/dd/yy] "
    "long[wwww, nnnn dd, yyyy] lit[||] lz0 h121";
} // namespace

TEST(ZalIntl, ReadsAndNormalisesEverySetting) {
    struct Case {
        std::map<std::string, std::string> section;
        std::string expected;
    };
    const Case cases[] = {
        {{}, kDefaults},
        {{{"sDecimal", "."}, {"sThousand", "."}}, kDefaults}, // a clash gives both defaults
        {{{"sDecimal", ","},
          {"sThousand", "."},
          {"sList", ";"},
          {"iCurrDigits", "3"},
          {"iNegCurr", "8"}},
         "cur[$|$] fmt0/8 dig3 sep[,.;/:] ynTF[YNTF] ampm[AM|PM] country[] short[MM/dd/yy] "
         "long[wwww, nnnn dd, yyyy] lit[||] lz0 h121"},
        {{{"sCurrency", "kr"}, {"iCurrency", "3"}, {"sCountry", "Sweden"}},
         "cur[kr| kr] fmt3/0 dig2 sep[.,,/:] ynTF[YNTF] ampm[AM|PM] country[Sweden] "
         "short[MM/dd/yy] "
         "long[wwww, nnnn dd, yyyy] lit[||] lz0 h121"},
        {{{"sCurrency", "kr"}, {"iCurrency", "2"}},
         "cur[kr |kr] fmt2/0 dig2 sep[.,,/:] ynTF[YNTF] ampm[AM|PM] country[] short[MM/dd/yy] "
         "long[wwww, nnnn dd, yyyy] lit[||] lz0 h121"},
        {{{"sDate", "."},
          {"sShortDate", "dd.MM.yy"},
          {"sLongDate", "dddd, 'de' MMMM"},
          {"sTTime", "."},
          {"iTLZero", "1"},
          {"sTimeFormat", "HH.mm.ss"},
          {"s1159", "vorm."},
          {"s2359", "nachm"}},
         "cur[$|$] fmt0/0 dig2 sep[.,,..] ynTF[YNTF] ampm[vorm.|nachm] country[] short[dd/MM/yy] "
         "long[wwww, ff nnnn] lit[de||] lz1 h120"},
        {{{"sLongDate", "d.MMMM yyyy"}},
         "cur[$|$] fmt0/0 dig2 sep[.,,/:] ynTF[YNTF] ampm[AM|PM] country[] "
         "short[MM/dd/yy] long[d. nnnn yyyy] lit[||] lz0 h121"},
        // Bad values fall back: over-long strings, letters and control characters as
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
        // A five-letter symbol takes no space that would not fit its field.
        {{{"sCurrency", "ABCDE"}, {"iCurrency", "3"}},
         "cur[ABCDE|ABCDE] fmt3/0 dig2 sep[.,,/:] ynTF[YNTF] ampm[AM|PM] country[] short[MM/dd/yy] "
         "long[wwww, nnnn dd, yyyy] lit[||] lz0 h121"},
    };
    for (const Case& c : cases) {
        TZalIntlSup settings(Section(c.section));
        EXPECT_EQ(Fields(settings), c.expected) << "section of " << c.section.size() << " keys";
    }
}

TEST(ZalIntl, LongDateLiteralsAndSpacesStayWithinTheirFields) {
    std::string slots[TZalIntlSup::kLiteralSlots];
    // Four literals: three slots, the fourth stays quoted; a long one is cut to its slot.
    EXPECT_EQ(NormalizeLongDate("'a' d 'bcdefgh' M 'c' y 'd'", slots), "f d ggggg M h y 'd'");
    EXPECT_EQ(slots[0], "a");
    EXPECT_EQ(slots[1], "bcdef");
    EXPECT_EQ(slots[2], "c");
    EXPECT_EQ(NormalizeLongDate("ddd dddd MMM MMMM 'x", slots), "www dddd nnn MMMM 'x")
        << "first runs only";
    EXPECT_EQ(slots[0], "") << "an unclosed quote is no literal";

    // Spaces go in while there is room, and nothing is cut off the end.
    const std::string full = "d.M.y," + std::string(30, 'y') + ".d";
    ASSERT_EQ(full.size(), 38u);
    EXPECT_EQ(NormalizeLongDate(full, slots), "d. M.y," + std::string(30, 'y') + ".d");
    EXPECT_EQ(NormalizeLongDate("d,", slots), "d, ");

    TZalIntlSup settings(Section({{"sLongDate", std::string(20, ',') + std::string(19, 'd')}}));
    EXPECT_EQ(settings.LongDate().size(), TZalIntlSup::kLongDateSize - 1);
}

TEST(ZalIntl, ReadsTheCLocale) {
    const std::string previous = setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(setlocale(LC_ALL, "C"));
    TZalIntlSup settings;
    setlocale(LC_ALL, previous.c_str());
    // The C locale has a 24-hour clock with leading zeros; everything else is the default.
    EXPECT_EQ(Fields(settings), "cur[$|$] fmt0/0 dig2 sep[.,,/:] ynTF[YNTF] ampm[AM|PM] country[] "
                                "short[MM/dd/yy] long[wwww, nnnn dd, yyyy] lit[||] lz1 h120");
}

TEST(ZalIntl, ReadsAGermanLocale) {
    TGermanLocale locale;
    SKIP_WITHOUT_GERMAN_LOCALE(locale);
    TZalIntlSup settings;
    EXPECT_EQ(settings.DecimalChar(), ',');
    EXPECT_EQ(settings.CommaChar(), '.');
    EXPECT_EQ(settings.ListChar(), ';');
    EXPECT_EQ(settings.SlashChar(), '.');
    EXPECT_EQ(settings.ShortDate(), "dd/MM/yyyy") << "day, month, year with the separator made /";
    EXPECT_FALSE(settings.TwelveHour());
    EXPECT_TRUE(settings.HourLeadingZero());
    EXPECT_EQ(settings.TimeSepChar(), ':');
    EXPECT_EQ(settings.CurrencyFormat(), 3);
    EXPECT_EQ(settings.CurrencyLtStr(), "\x80");
    EXPECT_EQ(settings.CurrencyRtStr(), " \x80");
    EXPECT_FALSE(settings.Country().empty());
}

TEST(ZalIntl, TheProcessWideInstanceLivesUntilDone) {
    InitZalIntl();
    TZalIntlSup* first = &ZalIntl();
    InitZalIntl();
    EXPECT_EQ(&ZalIntl(), first) << "created once";
    DoneZalIntl();
    EXPECT_EQ(ZalIntl().DecimalChar() != 0, true) << "and again on demand after Done";
    DoneZalIntl();
}
