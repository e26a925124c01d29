#pragma once
// Numbers in the "C" locale whatever the desktop's language: while a ScopedCLocale lives,
// the C library's conversions on this thread (printf's "%f", atof, strtod) use "." as the
// decimal point, so the painted level, the settings file and the dialogs' readings never
// depend on LANG or LC_NUMERIC. Other threads keep their own locale.

#include <clocale>
#include <locale.h>

class ScopedCLocale {
public:
    ScopedCLocale();
    ~ScopedCLocale();
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t previous_;
};
