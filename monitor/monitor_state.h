#pragma once
// The values the user-interface thread and the polling worker share, all guarded by the
// monitor's StateLock.

#include "platform/sys/ole_date_time.h"
#include "platform/sys/steady_clock.h"

#include <cstddef>
#include <cstdint>

class MeterDevice;

// The maker's line under the meter's name and location: 44 characters.
inline constexpr char FixedFooter[] = "Corvanta Acoustics, https://corvanta.example";
static_assert(sizeof FixedFooter - 1 == 44);

inline constexpr char NoValueText[] = "---";
inline constexpr double NoReading = -1.0;

// The value of `LastErrorTime` before any error: 1929-10-27 15:00:00 local time.
COleDateTime NoErrorTime();

// The sound exposure of the good polls (Pa²s) and the time they stand for (s) of one meter
// (its HostName) in one weighting.
struct ExposureCounter {
    char Meter[128] = "";
    char Weighting[8] = "";  // "dBA", "dBC" or "dBz"; never "---"
    double PaSquaredSeconds = 0.0;
    double MeasuredSeconds = 0.0;
};

// The counters of every meter and weighting counted while the display runs, so that none ever
// goes back: a weighting read again, or a meter polled again after a change of host, goes on
// from where its counters stood. When all rows are taken, the oldest row of another meter
// makes room.
struct ExposureCounters {
    static constexpr std::size_t Capacity = 48;  // 16 meters in all three weightings
    ExposureCounter Rows[Capacity];
    std::size_t Count = 0;
};

struct MonitorState {
    MeterDevice* Device = nullptr;  // owned and used by the worker alone; kept here between cycles
    std::int32_t PollCount = 0;
    std::int32_t ErrorCount = 0;
    std::int32_t ReconnectCount = 0;  // reset with the others, never incremented
    std::int32_t ConsecutiveErrors = 0;
    char SysName[256] = "";
    char SysLocation[256] = "";
    double CurrentLevel = NoReading;  // dB without LevelOffset; below 0 means no reading
    char DoseText[128] = "";
    char FooterText[256] = "";
    char WeightingText[128] = "";
    COleDateTime StartTime;
    COleDateTime LastErrorTime;
    // The monotonic clock's readings taken with StartTime and LastErrorTime: the up-time and the
    // time since the last error are measured on them, so that a step of the wall clock or a
    // change of the time zone or daylight-saving time moves neither span.
    SteadyTime StartSteadyTime;
    SteadyTime LastErrorSteadyTime;
    std::int32_t StopRequested = 0;
    std::int32_t ReconnectRequested = 0;
    std::int32_t PollRequested = 0;
    // Moves on at every reset after a configuration change, so that a poll or an open that
    // was under way does not publish values that belong to the old settings.
    std::uint32_t ResetGeneration = 0;
    // Moves on at every reset that zeroed the counters (a new host), so that a poll under
    // way then does not count for the new host.
    std::uint32_t CounterGeneration = 0;
    // The host that the counters, the shown values and the exposure counted now belong to: set
    // with the reset after a change of host, in the locked step that zeroes the counters, so
    // that the metrics page never shows one meter's figures under another's name.
    char CountedHost[128] = "";
    ExposureCounters Exposure;
};

// What the paint shows, copied out under the lock.
struct PaintCopy {
    double CurrentLevel = NoReading;
    char WeightingText[128] = "";
    char DoseText[128] = "";
    char FooterText[256] = "";
};

// What the metrics page shows, copied out under the lock together with the settings it names.
struct MetricsCopy {
    char HostName[128] = "";  // the CountedHost
    char SysName[256] = "";   // the meter's name and location as it last reported them
    char SysLocation[256] = "";
    double CurrentLevel = NoReading;
    char WeightingText[128] = "";
    std::int32_t LevelOffset = 0;
    double ShiftLenHours = 0.0;
    std::int32_t PollCount = 0;
    std::int32_t ErrorCount = 0;
    std::int32_t ConsecutiveErrors = 0;
    ExposureCounters Exposure;
    std::size_t PendingRows = 0;  // of the record, the batch being written included; 0 with the record off
};

// What the diagnostics dialog shows, copied out under the lock.
struct DiagnosticsCopy {
    std::int32_t PollCount = 0;
    std::int32_t ErrorCount = 0;
    std::int32_t ReconnectCount = 0;
    std::int32_t ConsecutiveErrors = 0;
    char SysName[256] = "";
    char SysLocation[256] = "";
    COleDateTime StartTime;
    COleDateTime LastErrorTime;
    SteadyTime StartSteadyTime;
    SteadyTime LastErrorSteadyTime;
};
