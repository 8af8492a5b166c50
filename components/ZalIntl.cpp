#include "components/ZalIntl.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "components/ZalSrMgr.h"
#include "platform/Settings.h"

namespace {
constexpr const char* kSection = "intl";
constexpr const char* kDefaultTimeFormat = "h:mm:ss tt";

// Message numbers of the yes, no, true and false characters.
constexpr int kYesMessage = 30368, kNoMessage = 30369, kTrueMessage = 30370, kFalseMessage = 30371;

template <size_t N> void Store(char (&field)[N], std::string_view value) {
    const size_t n = std::min(value.size(), N - 1);
    std::memcpy(field, value.data(), n);
    field[n] = '\0';
}

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A one-character separator that would be taken for a field, a digit or nothing at all.
bool IsBadSeparator(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F || IsAsciiAlnum(c) || c == '\'';
}

// A time format ends in the AM/PM mark: "tt" or "t" in the platform's pictures, "AMPM" or
// "AM/PM" in older ones.
bool EndsInAmPmMark(std::string_view format) {
    while (!format.empty() && format.back() == ' ')
        format.remove_suffix(1);
    return !format.empty() && (format.back() == 't' || format.back() == 'M');
}

// Replaces the run of `from` starting at the first occurrence of `from` x 3 by `to`.
void RenameFirstRun(std::string& format, char from, char to) {
    size_t i = format.find(std::string(3, from));
    for (; i != std::string::npos && i < format.size() && format[i] == from; ++i)
        format[i] = to;
}
} // namespace

TZalProfileReader PlatformProfileReader() {
    return TZalProfileReader{
        [](const std::string& key, const std::string& def) {
            return GetProfileString(kSection, key, def);
        },
        [](const std::string& key, int def) { return GetProfileInt(kSection, key, def); }};
}

std::string NormalizeLongDate(std::string_view source,
                              std::string (&literals)[TZalIntlSup::kLiteralSlots],
                              size_t maxLength) {
    std::string format(source.substr(0, maxLength));
    static constexpr char kMarkers[TZalIntlSup::kLiteralSlots] = {'f', 'g', 'h'};
    constexpr size_t kSlotLength = TZalIntlSup::kShortStringSize - 1;
    for (int slot = 0; slot < TZalIntlSup::kLiteralSlots; ++slot) {
        literals[slot].clear();
        const size_t open = format.find('\'');
        if (open == std::string::npos) continue;
        const size_t close = format.find('\'', open + 1);
        if (close == std::string::npos) continue;
        std::string text = format.substr(open + 1, close - open - 1);
        // Characters past what the slot holds are dropped from the format.
        if (text.size() > kSlotLength) text.resize(kSlotLength);
        literals[slot] = text;
        format.replace(open, close - open + 1, std::string(text.size(), kMarkers[slot]));
    }
    RenameFirstRun(format, 'd', 'w');
    RenameFirstRun(format, 'M', 'n');
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != ',' && format[i] != '.') continue;
        if (i + 1 < format.size() && format[i + 1] == ' ') continue;
        // A space that would not fit is left out rather than cutting a field off the end.
        if (format.size() >= maxLength) break;
        format.insert(i + 1, 1, ' ');
    }
    return format;
}

// --- TZalIntlSup -----------------------------------------------------------------------

TZalIntlSup::TZalIntlSup() : TZalIntlSup(PlatformProfileReader()) {}

TZalIntlSup::TZalIntlSup(TZalProfileReader reader) : reader_(std::move(reader)) {
    SetDefaults();
    ReadIntlSettings();
}

void TZalIntlSup::SetDefaults() {
    const TZalIntlDefaults& d = kZalIntlDefaults;
    Store(currencyLtStr_, d.CurrencySymbol);
    Store(currencyRtStr_, d.CurrencySymbol);
    decimalChar_ = d.DecimalSeparator;
    commaChar_ = d.ThousandSeparator;
    currencyDigits_ = d.CurrencyDigits;
    slashChar_ = d.DateSeparator;
    trueChar_ = d.TrueChar;
    falseChar_ = d.FalseChar;
    yesChar_ = d.YesChar;
    noChar_ = d.NoChar;
}

std::string TZalIntlSup::Literal(int slot) const {
    return slot >= 0 && slot < kLiteralSlots ? std::string(literals_[slot]) : std::string();
}

char TZalIntlSup::ReadChar(const char* key, char defaultValue) {
    const std::string value =
        reader_.String ? reader_.String(key, std::string(1, defaultValue)) : "";
    if (value.empty() || IsBadSeparator(value[0])) return defaultValue;
    return value[0];
}

std::string TZalIntlSup::ReadString(const char* key, const char* defaultValue, size_t size) {
    std::string value = reader_.String ? reader_.String(key, defaultValue) : "";
    if (value.empty() || value.size() >= size) return defaultValue;
    // The fields are zero-terminated: a zero byte would cut the value anyway.
    if (value.find('\0') != std::string::npos) return defaultValue;
    return value;
}

int TZalIntlSup::ReadCode(const char* key, int defaultValue, int min, int max) {
    const int value = reader_.Int ? reader_.Int(key, defaultValue) : defaultValue;
    return value < min || value > max ? defaultValue : value;
}

void TZalIntlSup::ReadIntlSettings() {
    ReadNumbers();
    ReadCurrency();
    ReadTime();
    ReadDates();
    ReadCharacters();
}

void TZalIntlSup::ReadNumbers() {
    const TZalIntlDefaults& d = kZalIntlDefaults;
    decimalChar_ = ReadChar("sDecimal", d.DecimalSeparator);
    commaChar_ = ReadChar("sThousand", d.ThousandSeparator);
    currencyDigits_ = uint8_t(ReadCode("iCurrDigits", d.CurrencyDigits, 0, 9));
    if (commaChar_ == decimalChar_) {
        decimalChar_ = d.DecimalSeparator;
        commaChar_ = d.ThousandSeparator;
    }
}

void TZalIntlSup::ReadCurrency() {
    negCurrencyFormat_ = uint8_t(ReadCode("iNegCurr", 0, 0, 15));
    listChar_ = ReadChar("sList", ',');
    country_ = ReadString("sCountry", "", kCountrySize);
    Store(currencyLtStr_,
          ReadString("sCurrency", kZalIntlDefaults.CurrencySymbol, kShortStringSize));
    Store(currencyRtStr_, currencyLtStr_);
    currencyFormat_ = uint8_t(ReadCode("iCurrency", 0, 0, 3));
    // The space goes in only when it fits: a cut symbol would be wrong money.
    const size_t length = std::strlen(currencyLtStr_);
    if (length + 1 >= kShortStringSize) return;
    if (currencyFormat_ == 2) Store(currencyLtStr_, std::string(currencyLtStr_) + ' ');
    if (currencyFormat_ == 3) Store(currencyRtStr_, ' ' + std::string(currencyRtStr_));
}

void TZalIntlSup::ReadTime() {
    hourLeadingZero_ = (reader_.Int ? reader_.Int("iTLZero", 0) : 0) != 0;
    twelveHour_ =
        EndsInAmPmMark(reader_.String ? reader_.String("sTimeFormat", kDefaultTimeFormat) : "");
    timeSepChar_ = ReadChar("sTTime", ':');
    slashChar_ = ReadChar("sDate", kZalIntlDefaults.DateSeparator);
    Store(amString_, ReadString("s1159", "AM", kShortStringSize));
    Store(pmString_, ReadString("s2359", "PM", kShortStringSize));
}

void TZalIntlSup::ReadDates() {
    std::string shortDate = ReadString("sShortDate", "MM/dd/yy", kShortDateSize);
    std::replace(shortDate.begin(), shortDate.end(), slashChar_, '/');
    Store(shortDate_, shortDate);

    const std::string longDate = ReadString("sLongDate", "dddd, MMMM dd, yyyy", kLongDateSize);
    std::string literals[kLiteralSlots];
    Store(longDate_, NormalizeLongDate(longDate, literals));
    for (int slot = 0; slot < kLiteralSlots; ++slot)
        Store(literals_[slot], literals[slot]);
}

void TZalIntlSup::ReadCharacters() {
    const std::pair<int, char*> items[] = {{kYesMessage, &yesChar_},
                                           {kNoMessage, &noChar_},
                                           {kTrueMessage, &trueChar_},
                                           {kFalseMessage, &falseChar_}};
    for (auto [number, field] : items) {
        std::string text;
        try {
            text = LibraryStrings().GetString(number);
        } catch (const std::exception&) {
            continue; // without the message table the current character stays
        }
        if (text.size() == 1) *field = text[0];
    }
}

// --- the process-wide instance ---------------------------------------------------------

namespace {
// Only the GUI thread uses it. A plain pointer, so that it stays usable however late in
// the shutdown someone asks.
TZalIntlSup* g_intl = nullptr;

struct TShutdown {
    ~TShutdown() { DoneZalIntl(); }
} g_shutdown;
} // namespace

void InitZalIntl() {
    if (!g_intl) g_intl = std::make_unique<TZalIntlSup>().release();
}

void DoneZalIntl() {
    delete g_intl;
    g_intl = nullptr;
}

TZalIntlSup& ZalIntl() {
    InitZalIntl();
    return *g_intl;
}
