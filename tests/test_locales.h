#pragma once

#include <string>
#include <vector>

// The environment of a run under one of the Russian locales that the test
// fixture builds: "UTF-8", "KOI8-R" or "CP1251".
inline std::vector<std::string> russianLocale(const std::string& charmap) {
    return {std::string("LOCPATH=") + TEST_LOCALE_DIR, "LANG=ru_RU." + charmap,
            "LC_ALL=ru_RU." + charmap};
}
