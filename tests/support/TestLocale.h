#pragma once
// Switches the process to a German locale (comma decimal separator, 24-hour clock, day
// month year) for one test: an installed one, or one generated with localedef into a
// temporary folder. Restores the previous locale and removes the folder at the end.
#include <clocale>
#include <cstdlib>
#include <string>
#include <unistd.h>

struct TGermanLocale {
    bool Active = false;
    std::string Previous = setlocale(LC_ALL, nullptr);
    std::string TempDir;

    TGermanLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"})
            if (setlocale(LC_ALL, name)) {
                Active = true;
                return;
            }
        char tmpl[] = "/tmp/marvolt-locale-XXXXXX";
        if (!mkdtemp(tmpl)) return;
        TempDir = tmpl;
        const std::string cmd =
            "localedef -i de_DE -f UTF-8 '" + TempDir + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0 &&
            access((TempDir + "/de_DE.UTF-8/LC_NUMERIC").c_str(), F_OK) != 0)
            return;
        setenv("LOCPATH", TempDir.c_str(), 1);
        Active = setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        unsetenv("LOCPATH"); // the locale is loaded; nothing else should look there
    }
    ~TGermanLocale() {
        setlocale(LC_ALL, Previous.c_str());
        if (!TempDir.empty()) std::system(("rm -rf '" + TempDir + "'").c_str());
    }
    TGermanLocale(const TGermanLocale&) = delete;
    TGermanLocale& operator=(const TGermanLocale&) = delete;
};

// Skips the test, with the reason, when no German locale can be had.
#define SKIP_WITHOUT_GERMAN_LOCALE(locale)                                                         \
    if (!(locale).Active)                                                                          \
    GTEST_SKIP() << "no de_DE locale is installed and localedef could not generate one"
