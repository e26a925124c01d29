#include "record/site_shifts.h"

#include "config/settings_store.h"

#include <variant>

ShiftPattern LoadSiteShifts(double shiftLenHours, std::string& warning) {
    warning.clear();
    const ShiftPattern fallback = ShiftPattern::Default(shiftLenHours);
    const SettingsStore::ShiftsValue value = SettingsStore::LoadShifts();
    if (!value.Found)
        return fallback;
    std::string reason =
        "it is not a text of at most " + std::to_string(SettingsStore::ShiftsCapacity - 1) + " characters";
    if (value.IsText) {
        auto parsed = ShiftPattern::Parse(value.Text);
        if (ShiftPattern* pattern = std::get_if<ShiftPattern>(&parsed))
            return std::move(*pattern);
        reason = std::get<std::string>(parsed);
    }
    warning = "the setting Shifts is not used (" + reason + "); the shifts are " + fallback.Text();
    return fallback;
}
