#pragma once
// The user's regional settings as the library's formatting routines need them (separators,
// currency, date and time formats, the yes/no/true/false characters), read from the
// `intl` profile section and normalised, and the process-wide instance.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The built-in values: the starting point and the fallback of every read.
struct TZalIntlDefaults {
    const char* CurrencySymbol;
    char DecimalSeparator, ThousandSeparator;
    uint8_t CurrencyDigits;
    char DateSeparator;
    char TrueChar, FalseChar, YesChar, NoChar;
};
inline constexpr TZalIntlDefaults kZalIntlDefaults{"$", '.', ',', 2, '/', 'T', 'F', 'Y', 'N'};

// Where the settings are read from: key of the `intl` section and the caller's default.
// The platform's profile calls by default; tests give their own values.
struct TZalProfileReader {
    std::function<std::string(const std::string& key, const std::string& defaultValue)> String;
    std::function<int(const std::string& key, int defaultValue)> Int;
};
// The platform's GetProfileString / GetProfileInt on the `intl` section.
TZalProfileReader PlatformProfileReader();

class TZalIntlSup {
public:
    // Sizes of the fixed fields, terminator included.
    static constexpr size_t kShortStringSize = 6; // currency strings, AM/PM, literal slots
    static constexpr size_t kLongDateSize = 40;
    static constexpr size_t kShortDateSize = 30;
    static constexpr size_t kCountrySize = 256;
    static constexpr int kLiteralSlots = 3;

    // The built-in defaults, then the settings of the platform's profile.
    TZalIntlSup();
    // The built-in defaults, then the settings `reader` gives.
    explicit TZalIntlSup(TZalProfileReader reader);
    TZalIntlSup(const TZalIntlSup&) = delete;
    TZalIntlSup& operator=(const TZalIntlSup&) = delete;

    // Reads every setting again, in the fixed order, normalising the date formats.
    void ReadIntlSettings();

    std::string CurrencyLtStr() const { return currencyLtStr_; } // symbol written before an amount
    std::string CurrencyRtStr() const { return currencyRtStr_; } // symbol written after an amount
    char DecimalChar() const { return decimalChar_; }
    char CommaChar() const { return commaChar_; } // the thousands separator
    uint8_t CurrencyDigits() const { return currencyDigits_; }
    char ListChar() const { return listChar_; }
    char SlashChar() const { return slashChar_; } // the date separator of the short date
    char TrueChar() const { return trueChar_; }
    char FalseChar() const { return falseChar_; }
    char YesChar() const { return yesChar_; }
    char NoChar() const { return noChar_; }
    std::string AMString() const { return amString_; }
    std::string PMString() const { return pmString_; }
    char TimeSepChar() const { return timeSepChar_; }
    const std::string& Country() const { return country_; }
    uint8_t CurrencyFormat() const { return currencyFormat_; }       // iCurrency, 0..3
    uint8_t NegCurrencyFormat() const { return negCurrencyFormat_; } // iNegCurr, 0..15
    // Literal text cut out of the long date format; slot 0..2 stands as f, g, h in it.
    std::string Literal(int slot) const;
    // wwww/nnnn for day and month names, f/g/h for the literals, ", " and ". " spaced.
    std::string LongDate() const { return longDate_; }
    // Always with "/" as the separator.
    std::string ShortDate() const { return shortDate_; }
    bool HourLeadingZero() const { return hourLeadingZero_; }
    bool TwelveHour() const { return twelveHour_; }

private:
    void SetDefaults();
    void ReadNumbers();
    void ReadCurrency();
    void ReadTime();
    void ReadDates();
    void ReadCharacters();
    // A one-character item: the first character read, or the default for a bad one.
    char ReadChar(const char* key, char defaultValue);
    // A string item: the default when the value would not fit `size` bytes.
    std::string ReadString(const char* key, const char* defaultValue, size_t size);
    // A code item: the default outside min..max.
    int ReadCode(const char* key, int defaultValue, int min, int max);

    TZalProfileReader reader_;
    char currencyLtStr_[kShortStringSize] = {};
    char currencyRtStr_[kShortStringSize] = {};
    char decimalChar_ = 0;
    char commaChar_ = 0;
    uint8_t currencyDigits_ = 0;
    char listChar_ = ',';
    char slashChar_ = 0;
    char trueChar_ = 0, falseChar_ = 0, yesChar_ = 0, noChar_ = 0;
    char amString_[kShortStringSize] = {};
    char pmString_[kShortStringSize] = {};
    char timeSepChar_ = ':';
    std::string country_;
    uint8_t currencyFormat_ = 0;
    char literals_[kLiteralSlots][kShortStringSize] = {};
    char longDate_[kLongDateSize] = {};
    uint8_t negCurrencyFormat_ = 0;
    char shortDate_[kShortDateSize] = {};
    bool hourLeadingZero_ = false;
    bool twelveHour_ = false;
};

// Normalises a long date format as the settings object does: quoted literals cut out into
// `literals` (at most kLiteralSlots, each cut to what its slot holds), the first day-name
// and month-name runs renamed, a space after every "," and "." (while the format stays
// within maxLength characters).
std::string NormalizeLongDate(std::string_view format,
                              std::string (&literals)[TZalIntlSup::kLiteralSlots],
                              size_t maxLength = TZalIntlSup::kLongDateSize - 1);

// Creates the process-wide settings object if there is none (reading the current locale:
// call it once the application object has taken the user's locale). The program calls it
// at start-up; ZalIntl() calls it too.
void InitZalIntl();
// Frees the process-wide object (at shutdown; InitZalIntl may create it again).
void DoneZalIntl();
// The process-wide settings object.
TZalIntlSup& ZalIntl();
