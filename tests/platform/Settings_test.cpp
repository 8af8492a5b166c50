#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/Settings.h"
#include "tests/support/TestLocale.h"

namespace {
// Switches the process locale for one test and back.
struct TLocaleScope {
    std::string Previous;
    explicit TLocaleScope() : Previous(setlocale(LC_ALL, nullptr)) {}
    ~TLocaleScope() { setlocale(LC_ALL, Previous.c_str()); }
};

std::string S(const char* key, const char* def = "#") {
    return GetProfileString("intl", key, def);
}
} // namespace

TEST(Settings, IntlValuesOfTheCLocale) {
    TLocaleScope scope;
    ASSERT_TRUE(setlocale(LC_ALL, "C"));
    EXPECT_EQ(S("sDecimal"), ".");
    EXPECT_EQ(S("SDECIMAL"), ".") << "key names ignore case";
    EXPECT_EQ(S("sThousand"), "#") << "C has no thousands separator: the default";
    EXPECT_EQ(GetProfileInt("intl", "iCurrDigits", 7), 7);
    EXPECT_EQ(GetProfileInt("intl", "iNegCurr", 9), 9);
    EXPECT_EQ(S("sCurrency", "$"), "$");
    EXPECT_EQ(S("sList"), "#");
    EXPECT_EQ(S("sDate"), "/");
    EXPECT_EQ(S("sTTime"), ":");
    EXPECT_EQ(GetProfileInt("intl", "iTLZero", 5), 1);
    EXPECT_EQ(S("s1159"), "AM");
    EXPECT_EQ(S("s2359"), "PM");
    EXPECT_EQ(S("sShortDate"), "MM/dd/yy");
    EXPECT_EQ(S("sLongDate", "dddd, MMMM dd, yyyy"), "dddd, MMMM dd, yyyy");
    EXPECT_EQ(S("sTimeFormat"), "HH:mm:ss");
    EXPECT_EQ(GetProfileString("windows", "sDecimal", "x"), "x") << "only the intl section exists";
    EXPECT_EQ(S("sNoSuchKey", "fallback"), "fallback");
}

TEST(Settings, IntlValuesOfACommaDecimalLocale) {
    TGermanLocale locale;
    SKIP_WITHOUT_GERMAN_LOCALE(locale);
    EXPECT_EQ(S("sDecimal"), ",");
    EXPECT_EQ(S("sThousand"), ".");
    EXPECT_EQ(S("sList"), ";");
    EXPECT_EQ(GetProfileInt("intl", "iCurrDigits", 7), 2);
    EXPECT_EQ(S("sDate"), ".");
    EXPECT_EQ(S("sShortDate"), "dd.MM.yyyy");
    EXPECT_EQ(S("sCurrency"), "\x80") << "the euro sign as its 1252 byte";
    EXPECT_EQ(GetProfileInt("intl", "iCurrency", 9), 3) << "amount, space, symbol";
    EXPECT_EQ(GetProfileInt("intl", "iNegCurr", 99), 8) << "-1,1 EUR";
    EXPECT_NE(S("sCountry"), "#");
}
