#include "platform/sys/c_locale.h"

namespace {

// One "C" locale object for the process, made on first use and kept to its end.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

ScopedCLocale::ScopedCLocale() : previous_(uselocale(CLocale())) {}

ScopedCLocale::~ScopedCLocale() {
    uselocale(previous_);
}
