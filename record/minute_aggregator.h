#pragma once
// Sums the shown levels of good polls into minutes, per host: no I/O, a few arithmetic
// operations per poll. A minute ends when a poll falls into another minute, or comes for
// another host or at another polling interval, or when the owner finishes it (a change of
// the configuration, the end of the program). Its covered time is its polls times their
// interval, at most a minute.

#include "record/minute_row.h"

#include <cstdint>
#include <optional>
#include <string_view>

class MinuteAggregator {
public:
    // Adds one good poll at `utcSeconds` that showed `level` with `weighting` for `host`,
    // covering `pollingInterval` seconds. Returns the minute it ended, if it ended one. The
    // minute's weighting is that of its first poll.
    std::optional<MinuteRow> Add(std::int64_t utcSeconds, std::string_view host, std::string_view weighting,
                                 double level, std::int32_t pollingInterval);
    // The minute under way, if any; the next poll starts a new one.
    std::optional<MinuteRow> Finish();

private:
    bool open_ = false;
    MinuteRow minute_;
    std::int32_t pollingInterval_ = 1;
    double energySum_ = 0.0;  // of the minute's levels, 10^(L/10) each
};

// The minute that holds both minutes of the same host and start (a minute recorded in two
// parts, around a change of host or a restart): samples and covered seconds added (at most
// 60), the energy mean weighted by samples, the extremes of both. The first's weighting.
MinuteRow MergeMinutes(const MinuteRow& first, const MinuteRow& second);
