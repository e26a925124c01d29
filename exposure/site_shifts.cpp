#include "exposure/site_shifts.h"

#include "config/settings_store.h"

#include <variant>

ShiftPattern LoadSiteShifts(double shiftLenHours, std::string& warning) {
    warning.clear();
    const ShiftPattern fallback = ShiftPattern::Default(shiftLenHours);
    const ExtraText value = SettingsStore::LoadShifts();
    std::string reason = value.unusable.empty() ? "" : "it " + value.unusable;
    if (reason.empty()) {
        if (value.text.empty())
            return fallback;
        auto parsed = ShiftPattern::Parse(value.text);
        if (ShiftPattern* pattern = std::get_if<ShiftPattern>(&parsed))
            return std::move(*pattern);
        reason = std::get<std::string>(parsed);
    }
    warning = "the setting Shifts is not used (" + reason + "); the shifts are " + fallback.Text();
    return fallback;
}
