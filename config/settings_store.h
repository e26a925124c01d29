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
// Neither operation reports anything: a missing key or value leaves the default, a
// failed save leaves the key as it was.

#include "config/settings.h"

class SettingsStore {
public:
    static constexpr const char* KeyFormat = "SOFTWARE\\Corvanta\\%s";
    static constexpr const char* ProductName = "Decimon";

    // The factory defaults, then each value that the key holds in its field's form: a
    // number from a 4-byte REG_DWORD, a text from a REG_SZ that fits its field with the
    // NUL (ShiftLenHours: 128 bytes, read with atof). Anything else leaves the default.
    // PollingInterval is raised to at least 1. Every text ends up NUL-terminated.
    static void LoadSettings(Settings& settings);

    // Writes all nineteen values, opening the key or else creating it.
    static void SaveSettings(const Settings& settings);

    // "RecordLevels", a REG_DWORD beside the settings that no dialog edits: whether the
    // display keeps its exposure record; 0 turns it off, anything else or nothing leaves it
    // on. Only read: SaveSettings leaves it in the file as it was.
    static bool LoadRecordLevels();
};
