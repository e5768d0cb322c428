#pragma once

#include <clocale>
#include <locale>

namespace kelvarin::test {

// The C library's locale and the C++ global locale set to de_DE.UTF-8 (decimal comma) for the
// scope, as Qt sets them from such an environment at start-up; "C" again afterwards. `active` is
// false when the locale is not installed (scripts/install-deps.sh generates it).
struct CommaLocale {
    CommaLocale() : active(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        if (active)
            before = std::locale::global(std::locale("de_DE.UTF-8"));
    }
    ~CommaLocale() {
        if (active)
            std::locale::global(before);
        std::setlocale(LC_ALL, "C");
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active;
    std::locale before;
};

} // namespace kelvarin::test
