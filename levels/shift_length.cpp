#include "levels/shift_length.h"

#include "config/settings_store.h"
#include "levels/daily_figures.h"

double ReadShiftLength(std::string& warning) {
    Settings settings;
    SettingsFileError error;
    warning.clear();
    if (!SettingsStore::LoadSettings(settings, &error)) {
        warning = "the settings" + (error.file.empty() ? "" : " file " + error.file) + " cannot be read (" +
                  error.reason + "); the dose is reckoned for a shift of " + FormatTenths(settings.ShiftLenHours) +
                  " hours";
    }
    return settings.ShiftLenHours;
}
