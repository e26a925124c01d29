#pragma once
// The ten persistent settings of the meter view, each field named by its registry value,
// and their factory defaults.

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t PasswordCapacity = 128;
inline constexpr std::size_t WarningMessageCapacity = 1024;
inline constexpr std::size_t HostNameCapacity = 128;
inline constexpr std::size_t RecentCount = 10;
inline constexpr std::size_t RecentCapacity = 128;

// Two banner lines joined by "\r\n".
inline constexpr char DefaultWarningMessage[] = "WEAR HEARING PROTECTION AT\r\nALL TIMES IN THIS AREA";
// The name under which a site makes its meter known (DNS or /etc/hosts).
inline constexpr char DefaultHostName[] = "soundmeter";
inline constexpr double DefaultShiftLenHours = 8.0;
inline constexpr std::int32_t DefaultLevelOffset = 0;
inline constexpr std::int32_t DefaultPollingInterval = 1;
inline constexpr std::int32_t DefaultDisplayWarning = 1;
inline constexpr std::int32_t DefaultSnmpTimeout = 250;
inline constexpr std::int32_t DefaultSnmpRetries = 1;

struct Settings {
    double ShiftLenHours;          // hours of one work shift
    std::int32_t LevelOffset;      // decibels added to the measured level
    std::int32_t PollingInterval;  // seconds between two polls
    std::int32_t DisplayWarning;   // non-zero: the warning banner is painted
    std::int32_t SnmpTimeout;      // milliseconds per SNMP request
    std::int32_t SnmpRetries;
    char Password[PasswordCapacity];  // empty: no password asked
    char WarningMessage[WarningMessageCapacity];
    char HostName[HostNameCapacity];
    char Recent[RecentCount][RecentCapacity];  // recent hosts in list order; empty = no entry
};

// Every field to its factory default; every Recent entry empty.
void SetFactoryDefaults(Settings& settings);
