#pragma once
// The record's figures by local calendar day for decimon-levels --daily: the running sums of
// each local day and host, printed as every reader of the record prints its figures. (The
// report judges shifts, not calendar days: see exposure/shift_figures.h.)

#include "exposure/level_math.h"
#include "exposure/local_days.h"
#include "exposure/minute_row.h"
#include "exposure/printed_figures.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>

// One running sum per local day and host, however many minutes it is given.
class DailySums {
public:
    using Key = std::pair<LocalDate, std::string>;  // the day, the host

    DailySums() = default;
    DailySums(const DailySums&) = delete;
    DailySums& operator=(const DailySums&) = delete;

    // Adds a minute; in any order, though those of one host in order of start are quickest.
    void Add(const MinuteRow& row);

    // In the order of the days and then of the hosts.
    const std::map<Key, ExposureSum>& Days() const { return days_; }

private:
    std::map<Key, ExposureSum> days_;
    // The last minute's day, for the next minute, which most likely belongs to it too.
    std::string host_;
    std::int64_t dayStart_ = 0;
    std::int64_t dayEnd_ = 0;
    ExposureSum* day_ = nullptr;
};
