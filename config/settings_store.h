#pragma once
// The settings' registry form: one key, HKEY_LOCAL_MACHINE\SOFTWARE\Corvanta\Decimon,
// with a value per setting named like its field.
//
//   ShiftLenHours   REG_SZ, the hours printed with "%-.1f"
//   LevelOffset, PollingInterval, SnmpTimeout, SnmpRetries, DisplayWarning
//                   REG_DWORD (DisplayWarning saved as 0 or 1)
//   Password, HostName, WarningMessage, Recent1 .. Recent10
//                   REG_SZ, entry n-1 of Recent as value Recent<n>
//
// A missing key or value leaves the default, a failed save leaves the key as it was. Both
// operations answer whether the settings file served them, and if not, which file and why.

#include "config/settings.h"

#include <cstdint>
#include <string>
#include <vector>

// Why the settings file could not be read or written: the file (empty when none is known)
// and the reason, in the system's words where it has them ("Read-only file system").
struct SettingsFileError {
    std::string file;
    std::string reason;
};

// A text beside the settings that no dialog edits, as the file holds it: `text` is empty when
// the value is missing or empty; `unusable` says why a value that is there cannot be taken as
// the text it should be ("is not a text (REG_SZ)...", "is named on line 7 of the settings
// file ..., which cannot be read"), and is empty otherwise.
struct ExtraText {
    std::string text;
    std::string unusable;
};

// What loading found on lines of the settings file that gave no value (a broken line, or a
// setting given a second time): the settings they name keep their defaults.
struct UnreadSettingsLines {
    // One sentence per line, naming the file, the line, the setting where one can be seen and
    // what follows; after MaxSaid lines one sentence counts the rest. Lines that name
    // MetricsAddress, MetricsWebConfig or Shifts are left to those settings' own loaders,
    // whose `unusable` says them.
    std::vector<std::string> said;
    // Why Password cannot be used: the configuration then opens to no password at all.
    // Empty when it can.
    std::string password;
};

class SettingsStore {
public:
    static constexpr const char* KeyFormat = "SOFTWARE\\Corvanta\\%s";
    static constexpr const char* ProductName = "Decimon";

    // The factory defaults, then each value that the key holds in its field's form: a
    // number from a 4-byte REG_DWORD, a text from a REG_SZ that fits its field with the
    // NUL (ShiftLenHours: 128 bytes, read with atof). Anything else leaves the default.
    // PollingInterval is raised to at least 1. Every text ends up NUL-terminated.
    // False when the settings file is there but cannot be read or is not a settings file:
    // the settings are then the factory defaults, and `error`, when given, says which file
    // and why. No file at all is the first start, not an error.
    // Settings named on lines that gave no value are listed in `unread` when given.
    static constexpr std::size_t MaxSaid = 10;
    static bool LoadSettings(Settings& settings, SettingsFileError* error = nullptr,
                             UnreadSettingsLines* unread = nullptr);

    // Writes all nineteen values, opening the key or else creating it. False when the file
    // was not written (it is then as it was), with the reason in `error` when given.
    static bool SaveSettings(const Settings& settings, SettingsFileError* error = nullptr);

    // "RecordLevels", a REG_DWORD beside the settings that no dialog edits: whether the
    // display keeps its exposure record; 0 turns it off, anything else or nothing leaves it
    // on. Only read: SaveSettings leaves it in the file as it was. `wrong`, when given, says
    // whether the value is there but of another type or other than 0 and 1.
    static bool LoadRecordLevels(bool* wrong = nullptr);

    // "RecordKeepDays", a REG_DWORD beside RecordLevels, only read like it: how many days
    // the exposure record keeps its minutes; 0 keeps them all. A missing value gives the
    // default; one of another type or a number outside 0 to MaxRecordKeepDays (a negative
    // one, or centuries) gives 0, with `wrong` set when given: a site that wrote a value
    // meant to keep more, so nothing is deleted on a guess.
    static constexpr std::int32_t DefaultRecordKeepDays = 1096;
    static constexpr std::int32_t MaxRecordKeepDays = 36525;
    static std::int32_t LoadRecordKeepDays(bool* wrong = nullptr);

    // "MetricsAddress", a REG_SZ beside RecordLevels that no dialog edits: where the display
    // serves its measurements to a metrics scraper ("HOST:PORT", "[V6]:PORT" or ":PORT").
    // Empty when missing: no endpoint. Another kind of value or a text too long is unusable,
    // never taken as empty. Only read, like RecordLevels.
    static ExtraText LoadMetricsAddress();

    // "MetricsWebConfig", a REG_SZ beside MetricsAddress that no dialog edits: the path of the
    // endpoint's web configuration (TLS and passwords, see metrics/web_config.h). Empty when
    // missing: plain HTTP without passwords. Unusable like MetricsAddress, never taken as
    // empty. Only read, like RecordLevels.
    static ExtraText LoadMetricsWebConfig();

    // "Shifts", a REG_SZ beside RecordLevels that no dialog edits: the site's shift pattern
    // as local times, "06:00-14:00,14:00-22:00,22:00-06:00" (exposure/shift_pattern.h reads it).
    // Unusable like MetricsAddress. Only read, like RecordLevels.
    static ExtraText LoadShifts();

    // "MeterClass", a REG_DWORD beside RecordLevels that no dialog edits: the meter's class
    // under IEC 61672-1, 1 or 2, for the uncertainty of the exposure figures; 0 when missing
    // (not stated), and also for another kind or number, with `wrong` set when given.
    static int LoadMeterClass(bool* wrong = nullptr);

    // ShiftLenHours as the file holds it, for saying why a value was not used (LoadSettings
    // reads the number): unusable when it is of another kind than a text, or too long.
    static ExtraText LoadShiftLenHoursText();

    // "Language", a REG_SZ beside RecordLevels that no dialog edits: the language of the
    // display's texts, one of DisplayLanguages ("en" when missing or empty). Anything else
    // gives "en", with `warning`, when given, set to one line naming the setting and why;
    // it is cleared otherwise. Only read, like RecordLevels.
    static constexpr const char* DisplayLanguages[] = {"en", "de", "fr", "es", "it", "pl", "nl"};
    static std::string LoadLanguage(std::string* warning = nullptr);
};
