#pragma once
// What the display knew of its meter from a moment on: a row of the table `meters`; and the
// site's shifts it judged by from a moment on: a row of the table `shift_patterns`.

#include <cstdint>
#include <string>

struct MeterRow {
    std::string Host;              // HostName
    std::int64_t Since = 0;        // seconds since 1970-01-01 UTC
    std::string Name;              // sysName, as the meter reported it
    std::string Location;          // sysLocation
    std::int32_t LevelOffset = 0;  // dB added to the meter's levels

    // The same meter values (whatever the moment).
    bool SameValues(const MeterRow& other) const {
        return Host == other.Host && Name == other.Name && Location == other.Location &&
               LevelOffset == other.LevelOffset;
    }
};

struct ShiftPatternRow {
    std::int64_t Since = 0;  // seconds since 1970-01-01 UTC
    std::string Shifts;      // as the setting Shifts is written: "06:00-14:00,14:00-22:00,22:00-06:00"
    std::string Rejected;    // the line saying why the setting Shifts was not used, or empty
};
