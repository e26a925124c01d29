#include "record/minute_aggregator.h"

#include "exposure/level_math.h"

#include <algorithm>
#include <cmath>

double MinuteAggregator::SpanSeconds(std::int32_t pollingInterval) {
    return static_cast<double>(std::clamp<std::int64_t>(pollingInterval, 1, MaxSpanSeconds));
}

std::vector<MinuteRow> MinuteAggregator::Add(std::int64_t utcSeconds, std::string_view host, std::string_view weighting,
                                             double level, std::int32_t pollingInterval) {
    const std::int64_t start = MinuteStart(utcSeconds);
    const bool restart = Open() && (host != host_ || start < minutes_.front().row.Start);
    std::vector<MinuteRow> ended = restart ? Finish() : EndBefore(start);
    host_ = host;
    const double from = static_cast<double>(utcSeconds);
    const double seconds = SpanSeconds(pollingInterval);
    AddSpan(from, from + seconds, weighting, level, true);
    last_ = LastPoll{std::string(weighting), level, from + seconds, seconds};
    return ended;
}

std::vector<MinuteRow> MinuteAggregator::UnderWay() const {
    std::vector<MinuteRow> rows;
    for (const Minute& minute : minutes_)
        rows.push_back(Ended(minute));
    return rows;
}

void MinuteAggregator::Extend(double seconds) {
    seconds = last_ ? std::min(seconds, static_cast<double>(MaxSpanSeconds) - last_->seconds) : 0.0;
    if (!(seconds > 0.0))
        return;
    double from = last_->end;
    const double to = from + seconds;
    last_->end = to;
    last_->seconds += seconds;
    if (Open())  // the minutes the clock has ended are written already
        from = std::max(from, static_cast<double>(minutes_.front().row.Start));
    if (from < to)
        AddSpan(from, to, last_->weighting, last_->level, false);
}

void MinuteAggregator::AddSpan(double from, double to, std::string_view weighting, double level, bool sample) {
    const double energy = LevelEnergy(level);
    for (double at = from; at < to; sample = false) {
        const std::int64_t minuteStart = MinuteStart(static_cast<std::int64_t>(std::floor(at)));
        const double piece = std::min(to, static_cast<double>(minuteStart + SecondsPerMinute)) - at;
        Minute& minute = MinuteAt(minuteStart, weighting, level);
        minute.row.Samples += sample ? 1 : 0;
        minute.row.Lmin = std::min(minute.row.Lmin, level);
        minute.row.Lmax = std::max(minute.row.Lmax, level);
        minute.seconds += piece;
        minute.energySum += piece * energy;
        at += piece;
    }
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
    last_.reset();
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

KeptMinute KeepMinute(const MinuteRow& stored, const MinuteRow& arriving, bool sameRun) {
    const double storedEnergy = stored.Seconds * LevelEnergy(stored.Leq);
    const double arrivingEnergy = arriving.Seconds * LevelEnergy(arriving.Leq);
    const double seconds = stored.Seconds + arriving.Seconds;
    if (!sameRun || seconds > static_cast<double>(SecondsPerMinute))
        return {arrivingEnergy > storedEnergy ? arriving : stored, true};
    MinuteRow joined = stored;
    joined.Samples = stored.Samples + arriving.Samples;
    joined.Seconds = seconds;
    joined.Leq = EnergyLevel((storedEnergy + arrivingEnergy) / seconds);
    joined.Lmin = std::min(stored.Lmin, arriving.Lmin);
    joined.Lmax = std::max(stored.Lmax, arriving.Lmax);
    return {joined, false};
}
