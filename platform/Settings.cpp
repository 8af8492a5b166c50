#include "platform/Settings.h"

#include <QString>
#include <climits>
#include <clocale>
#include <langinfo.h>
#include <optional>
#include <strings.h>

#include "platform/QtConvert.h"

namespace {
// Locale text (in the locale's code set) to 1252 bytes.
std::string FromLocale(const char* s) {
    if (!s || !*s) return std::string();
    const char* codeset = nl_langinfo(CODESET);
    QString text = codeset && strcasecmp(codeset, "UTF-8") == 0 ? QString::fromUtf8(s) : QString::fromLatin1(s);
    // Thin and narrow no-break spaces (thousands separators of some locales) have no
    // 1252 byte; the no-break space stands in for them.
    text.replace(QChar(0x202F), QChar(0x00A0));
    text.replace(QChar(0x2009), QChar(0x00A0));
    return QStringToCp1252(text, '?');
}

bool Is(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// Windows-style date and time pictures from strftime formats; nothing for conversions
// without a picture.
std::optional<std::string> Picture(const std::string& fmt) {
    std::string out;
    for (size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%') {
            if (fmt[i] == '\'' ) return std::nullopt;
            out += fmt[i];
            continue;
        }
        if (++i >= fmt.size()) return std::nullopt;
        char c = fmt[i];
        if (c == '-' || c == '_' || c == '0' || c == 'E' || c == 'O') { // flags and modifiers
            if (++i >= fmt.size()) return std::nullopt;
            c = fmt[i];
        }
        switch (c) {
        case 'd': out += "dd"; break;
        case 'e': out += "d"; break;
        case 'm': out += "MM"; break;
        case 'y': out += "yy"; break;
        case 'Y': out += "yyyy"; break;
        case 'b': case 'h': out += "MMM"; break;
        case 'B': out += "MMMM"; break;
        case 'a': out += "ddd"; break;
        case 'A': out += "dddd"; break;
        case 'D': out += "MM/dd/yy"; break;
        case 'F': out += "yyyy-MM-dd"; break;
        case 'H': out += "HH"; break;
        case 'k': out += "H"; break;
        case 'I': out += "hh"; break;
        case 'l': out += "h"; break;
        case 'M': out += "mm"; break;
        case 'S': out += "ss"; break;
        case 'p': case 'P': out += "tt"; break;
        case 'T': out += "HH:mm:ss"; break;
        case 'R': out += "HH:mm"; break;
        case 'r': out += "hh:mm:ss tt"; break;
        case '%': out += '%'; break;
        case 'n': case 't': out += ' '; break;
        default: return std::nullopt;
        }
    }
    if (out.empty()) return std::nullopt;
    return out;
}

// The first character between two fields of a picture (the separator).
std::optional<std::string> Separator(const std::string& picture) {
    bool seenField = false;
    for (char c : picture) {
        const bool field = std::string("dMyHhmst").find(c) != std::string::npos;
        if (field) seenField = true;
        else if (seenField && c != ' ') return std::string(1, c);
    }
    return std::nullopt;
}

std::string TimeFormat() {
    std::string t = nl_langinfo(T_FMT);
    if (t.find("%r") != std::string::npos) t = nl_langinfo(T_FMT_AMPM);
    return t;
}

std::optional<std::string> Number(int v) {
    if (v == CHAR_MAX || v < 0) return std::nullopt;
    return std::to_string(v);
}

// Win32's negative currency format code for the POSIX description.
std::optional<std::string> NegativeCurrency(const lconv& lc) {
    if (lc.n_cs_precedes == CHAR_MAX || lc.n_sep_by_space == CHAR_MAX || lc.n_sign_posn == CHAR_MAX) return std::nullopt;
    if (lc.n_sign_posn < 0 || lc.n_sign_posn > 4) return std::nullopt;
    static const int kCodes[2][2][5] = {
        // symbol after:   (1$)  -1$  1$-  1-$  1$-     with space: (1 $) -1 $ 1 $- 1- $ 1 $-
        {{4, 5, 7, 6, 7}, {15, 8, 10, 13, 10}},
        // symbol before:  ($1)  -$1  $1-  -$1  $-1     with space: ($ 1) -$ 1 $ 1- -$ 1 $ -1
        {{0, 1, 3, 1, 2}, {14, 9, 11, 9, 12}},
    };
    return std::to_string(kCodes[lc.n_cs_precedes ? 1 : 0][lc.n_sep_by_space ? 1 : 0][int(lc.n_sign_posn)]);
}

std::optional<std::string> IntlValue(const std::string& key) {
    const lconv& lc = *localeconv();
    auto text = [](const std::string& s) -> std::optional<std::string> {
        if (s.empty()) return std::nullopt;
        return s;
    };
    if (Is(key, "sDecimal")) return text(FromLocale(lc.decimal_point));
    if (Is(key, "sThousand")) return text(FromLocale(lc.thousands_sep));
    if (Is(key, "iCurrDigits")) return Number(lc.frac_digits);
    if (Is(key, "iNegCurr")) return NegativeCurrency(lc);
    if (Is(key, "sList")) {
        // POSIX has no list separator; where the comma is the decimal separator, lists
        // use the semicolon.
        if (FromLocale(lc.decimal_point) == ",") return std::string(";");
        return std::nullopt;
    }
    if (Is(key, "sCountry")) {
#ifdef __GLIBC__
        return text(FromLocale(nl_langinfo(_NL_ADDRESS_COUNTRY_NAME)));
#else
        return std::nullopt;
#endif
    }
    if (Is(key, "sCurrency")) return text(FromLocale(lc.currency_symbol));
    if (Is(key, "iCurrency")) {
        if (lc.p_cs_precedes == CHAR_MAX || lc.p_sep_by_space == CHAR_MAX) return std::nullopt;
        return std::to_string((lc.p_cs_precedes ? 0 : 1) + (lc.p_sep_by_space ? 2 : 0));
    }
    if (Is(key, "sTimeFormat")) return Picture(TimeFormat());
    if (Is(key, "iTLZero") || Is(key, "iTime")) {
        auto p = Picture(TimeFormat());
        if (!p) return std::nullopt;
        const size_t h = p->find_first_of("Hh");
        if (h == std::string::npos) return std::nullopt;
        if (Is(key, "iTime")) return std::string((*p)[h] == 'H' ? "1" : "0");
        return std::string(h + 1 < p->size() && (*p)[h + 1] == (*p)[h] ? "1" : "0");
    }
    if (Is(key, "sTTime") || Is(key, "sTime")) {
        auto p = Picture(TimeFormat());
        return p ? Separator(*p) : std::nullopt;
    }
    if (Is(key, "sDate")) {
        auto p = Picture(nl_langinfo(D_FMT));
        return p ? Separator(*p) : std::nullopt;
    }
    if (Is(key, "s1159")) return text(FromLocale(nl_langinfo(AM_STR)));
    if (Is(key, "s2359")) return text(FromLocale(nl_langinfo(PM_STR)));
    if (Is(key, "sShortDate")) return Picture(nl_langinfo(D_FMT));
    // POSIX keeps no long date picture (sLongDate): the caller's default stands.
    return std::nullopt;
}
} // namespace

std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue) {
    if (!Is(section, "intl")) return defaultValue;
    std::optional<std::string> v = IntlValue(key);
    return v && !v->empty() ? *v : defaultValue;
}

int GetProfileInt(const std::string& section, const std::string& key, int defaultValue) {
    if (!Is(section, "intl")) return defaultValue;
    std::optional<std::string> v = IntlValue(key);
    if (!v || v->empty()) return defaultValue;
    // Like Win32: the leading digits count; a value without any gives 0.
    long n = 0;
    size_t i = 0;
    const bool negative = (*v)[0] == '-';
    if (negative) ++i;
    for (; i < v->size() && (*v)[i] >= '0' && (*v)[i] <= '9' && n < INT_MAX / 10; ++i) n = n * 10 + ((*v)[i] - '0');
    return int(negative ? -n : n);
}
