#pragma once
// One minute of the exposure record: the levels the display showed for one host during one
// minute, as a row of the table `minutes`.

#include <cstdint>
#include <string>

struct MinuteRow {
    std::string Host;          // HostName while the minute was recorded
    std::int64_t Start = 0;    // start of the minute, seconds since 1970-01-01 UTC, a multiple of 60
    std::string Weighting;     // "dBA", "dBC", "dBz" or "---", as shown
    std::int32_t Samples = 0;  // good polls taken in the minute
    double Seconds = 0.0;      // time the good polls' intervals cover in the minute, at most 60
    double Leq = 0.0;          // energy mean of the shown levels over those seconds
    double Lmin = 0.0;
    double Lmax = 0.0;
};
