#pragma once
// The user's settings, as the profile functions of Win32 give them. Only the `intl`
// section exists: its keys (sDecimal, sThousand, iCurrDigits, iNegCurr, sList, sCountry,
// sCurrency, iCurrency, iTLZero, sTTime, sDate, s1159, s2359, sShortDate, sLongDate,
// sTimeFormat, iTime) are answered from the current POSIX locale (localeconv,
// nl_langinfo). Where the locale says nothing (or gives an empty value) the caller's
// default is returned. Section and key names ignore letter case. Strings are 1252 bytes.
#include <string>

std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue);
int GetProfileInt(const std::string& section, const std::string& key, int defaultValue);
