#include "levels/shift_length.h"

#include "config/settings_store.h"
#include "config/shift_length_setting.h"
#include "exposure/site_shifts.h"
#include "levels/daily_figures.h"

double ReadShiftLength(std::string& warning) {
    Settings settings;
    SettingsFileError error;
    warning.clear();
    if (!SettingsStore::LoadSettings(settings, &error)) {
        warning = "the settings" + (error.file.empty() ? "" : " file " + error.file) + " cannot be read (" +
                  error.reason + "); the dose is reckoned for a shift of " + FormatTenths(settings.ShiftLenHours) +
                  " hours";
    } else {
        warning = CheckShiftLenHours(settings);
    }
    return settings.ShiftLenHours;
}

std::variant<ShiftPattern, std::string> ReadShifts(const std::optional<std::string>& option, double shiftLenHours,
                                                   std::string& warning) {
    warning.clear();
    if (!option)
        return LoadSiteShifts(shiftLenHours, warning);
    if (option->empty())
        return std::string("--shifts: no PATTERN after it (as 06:00-14:00,14:00-22:00)");
    auto parsed = ShiftPattern::Parse(*option);
    if (const std::string* reason = std::get_if<std::string>(&parsed))
        return "--shifts: " + *reason;
    return parsed;
}
