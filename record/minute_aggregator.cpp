#include "record/minute_aggregator.h"

#include "record/level_math.h"

#include <algorithm>

std::optional<MinuteRow> MinuteAggregator::Add(std::int64_t utcSeconds, std::string_view host,
                                               std::string_view weighting, double level, std::int32_t pollingInterval) {
    const std::int64_t start = MinuteStart(utcSeconds);
    std::optional<MinuteRow> ended;
    if (open_ && (start != minute_.Start || host != minute_.Host || pollingInterval != pollingInterval_))
        ended = Finish();
    if (!open_) {
        open_ = true;
        minute_.Host = host;
        minute_.Start = start;
        minute_.Weighting = weighting;
        minute_.Samples = 0;
        minute_.Lmin = minute_.Lmax = level;
        pollingInterval_ = pollingInterval;
        energySum_ = 0.0;
    }
    minute_.Samples += 1;
    minute_.Lmin = std::min(minute_.Lmin, level);
    minute_.Lmax = std::max(minute_.Lmax, level);
    energySum_ += LevelEnergy(level);
    return ended;
}

std::optional<MinuteRow> MinuteAggregator::Finish() {
    if (!open_)
        return std::nullopt;
    open_ = false;
    minute_.Seconds = CoveredSeconds(minute_.Samples, pollingInterval_);
    minute_.Leq = EnergyLevel(energySum_ / minute_.Samples);
    return minute_;
}

MinuteRow MergeMinutes(const MinuteRow& first, const MinuteRow& second) {
    MinuteRow merged = first;
    merged.Samples = first.Samples + second.Samples;
    merged.Seconds = std::min(first.Seconds + second.Seconds, static_cast<double>(SecondsPerMinute));
    merged.Leq = EnergyLevel((first.Samples * LevelEnergy(first.Leq) + second.Samples * LevelEnergy(second.Leq)) /
                             merged.Samples);
    merged.Lmin = std::min(first.Lmin, second.Lmin);
    merged.Lmax = std::max(first.Lmax, second.Lmax);
    return merged;
}
