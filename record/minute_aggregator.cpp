#include "record/minute_aggregator.h"

#include "record/level_math.h"

#include <algorithm>

std::vector<MinuteRow> MinuteAggregator::Add(std::int64_t utcSeconds, std::string_view host, std::string_view weighting,
                                             double level, std::int32_t pollingInterval) {
    const std::int64_t start = MinuteStart(utcSeconds);
    const bool restart = Open() && (host != host_ || start < minutes_.front().row.Start);
    std::vector<MinuteRow> ended = restart ? Finish() : EndBefore(start);
    host_ = host;
    const double energy = LevelEnergy(level);
    std::int64_t at = utcSeconds;
    const std::int64_t end = utcSeconds + std::clamp<std::int64_t>(pollingInterval, 1, MaxSpanSeconds);
    for (bool first = true; at < end; first = false) {
        const std::int64_t minuteStart = MinuteStart(at);
        const std::int64_t piece = std::min(end, minuteStart + SecondsPerMinute) - at;
        Minute& minute = MinuteAt(minuteStart, weighting, level);
        minute.row.Samples += first ? 1 : 0;
        minute.row.Lmin = std::min(minute.row.Lmin, level);
        minute.row.Lmax = std::max(minute.row.Lmax, level);
        minute.seconds += static_cast<double>(piece);
        minute.energySum += static_cast<double>(piece) * energy;
        at += piece;
    }
    return ended;
}

MinuteAggregator::Minute& MinuteAggregator::MinuteAt(std::int64_t start, std::string_view weighting, double level) {
    const std::int64_t first = Open() ? minutes_.front().row.Start : start;
    const auto index = static_cast<std::size_t>((start - first) / SecondsPerMinute);
    while (minutes_.size() <= index) {
        Minute minute;
        minute.row = {host_,
                      first + static_cast<std::int64_t>(minutes_.size()) * SecondsPerMinute,
                      std::string(weighting),
                      0,
                      0.0,
                      0.0,
                      level,
                      level};
        minutes_.push_back(std::move(minute));
    }
    return minutes_[index];
}

std::vector<MinuteRow> MinuteAggregator::EndBefore(std::int64_t utcSeconds) {
    std::vector<MinuteRow> ended;
    while (Open() && minutes_.front().row.Start + SecondsPerMinute <= utcSeconds) {
        ended.push_back(Ended(minutes_.front()));
        minutes_.pop_front();
    }
    return ended;
}

std::vector<MinuteRow> MinuteAggregator::Finish() {
    std::vector<MinuteRow> ended;
    for (const Minute& minute : minutes_)
        ended.push_back(Ended(minute));
    minutes_.clear();
    return ended;
}

MinuteRow MinuteAggregator::Ended(const Minute& minute) {
    MinuteRow row = minute.row;
    row.Seconds = std::min(minute.seconds, static_cast<double>(SecondsPerMinute));
    row.Leq = EnergyLevel(minute.energySum / minute.seconds);
    return row;
}

MinuteRow MergeMinutes(const MinuteRow& first, const MinuteRow& second) {
    MinuteRow merged = first;
    merged.Samples = first.Samples + second.Samples;
    merged.Seconds = std::min(first.Seconds + second.Seconds, static_cast<double>(SecondsPerMinute));
    merged.Leq = EnergyLevel((first.Seconds * LevelEnergy(first.Leq) + second.Seconds * LevelEnergy(second.Leq)) /
                             (first.Seconds + second.Seconds));
    merged.Lmin = std::min(first.Lmin, second.Lmin);
    merged.Lmax = std::max(first.Lmax, second.Lmax);
    return merged;
}
