#pragma once
// Readings of the monotonic clock, on which the spans the diagnostics show are measured:
// unlike local date-times, they move on at the rate of real time whatever happens to the wall
// clock (a step at boot on a PC without a clock battery, a time sync, a hand) or to the time
// zone and daylight-saving time.

#include "platform/sys/ole_date_time.h"

#include <chrono>

using SteadyTime = std::chrono::steady_clock::time_point;

class SteadyClock {
public:
    // Where readings come from: the system's monotonic clock, or a test's.
    using Source = SteadyTime (*)();
    static void SetSource(Source source);  // null restores the system's

    static SteadyTime Now();
    // From `start` to now as a span of days; negative only for a start still to come.
    static COleDateTimeSpan SpanSince(SteadyTime start);
};
