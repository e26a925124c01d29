#pragma once
// The running sums of every shift of a period's days, per host, however many minutes they are
// given: for the CSV by shift and the report's summary. A shift of the last day that ends the
// next day holds that day's minutes up to its end; a shift of the day before the first that
// ends on it is no shift of the period. The figures are taken at the moment `now`: a shift
// that has not begun by then is none of the period, one that has not ended is under way.

#include "exposure/shift_figures.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class ShiftSums {
public:
    // Each day judged by its shifts among `patterns` (PatternOfDay; at least one).
    ShiftSums(const std::vector<DatedPattern>& patterns, const LocalDate& from, const LocalDate& to,
              std::int64_t now = ShiftSum::NeverUnderWay);
    ShiftSums(const ShiftSums&) = delete;
    ShiftSums& operator=(const ShiftSums&) = delete;

    // The time the period's shifts span, UTC seconds: the minutes with From() <= start < To()
    // are all it needs (From() == To() when the pattern has no shifts).
    std::int64_t From() const { return windows_.empty() ? 0 : windows_.front().From; }
    std::int64_t To() const { return windows_.empty() ? 0 : windows_.back().To; }

    // Adds a minute to its shift, if it is in one; in any order, though those of one host in
    // order of start are quickest.
    void Add(const MinuteRow& row);

    // Every shift of the period, in order, whether it holds a minute or not.
    const std::vector<ShiftWindow>& Windows() const { return windows_; }

    using Key = std::pair<std::size_t, std::string>;  // the index in Windows(), the host
    // In the order of the days, their shifts and then the hosts: only shifts that hold a minute.
    const std::map<Key, ShiftSum>& Sums() const { return sums_; }
    // The figures of Windows()[index] for `host`, also without any minute.
    ShiftFigures Figures(std::size_t index, const std::string& host) const;

private:
    std::int64_t now_;
    std::vector<ShiftWindow> windows_;  // of every day, in order
    std::map<Key, ShiftSum> sums_;
    // The last minute's shift, for the next minute, which most likely belongs to it too.
    std::string host_;
    std::int64_t from_ = 0;
    std::int64_t to_ = 0;
    ShiftSum* sum_ = nullptr;
};
