#include "config/shift_length_setting.h"

#include "config/settings_store.h"
#include "platform/sys/c_locale.h"

#include <cstdio>

std::string CheckShiftLenHours(Settings& settings) {
    const ExtraText file = SettingsStore::LoadShiftLenHoursText();
    const double hours = settings.ShiftLenHours;
    std::string reason;
    if (!file.unusable.empty())
        reason = "it " + file.unusable;
    else if (!(hours >= LeastShiftLenHours && hours <= MostShiftLenHours))  // NaN too
        reason = "\"" + file.text + "\" is not a number of hours from 0.5 to 24";
    if (reason.empty())
        return {};
    settings.ShiftLenHours = DefaultShiftLenHours;
    char fallback[16];
    {
        const ScopedCLocale numbers;  // "8.0", never "8,0"
        std::snprintf(fallback, sizeof fallback, "%.1f", DefaultShiftLenHours);
    }
    return "the setting ShiftLenHours is not used (" + reason + "); shifts of " + fallback + " hours are reckoned";
}
