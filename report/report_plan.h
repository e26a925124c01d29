#pragma once
// What a report holds before anything is drawn: the meters, each with what the record knew of
// it over the period (its name, location and level offset, each with the time it held) and
// the figures of every shift of every day, summed as decimon-levels --shifts sums them. The
// minutes themselves are read again later, a day at a time, for the charts.

#include "exposure/local_days.h"
#include "exposure/shift_figures.h"
#include "exposure/shift_pattern.h"
#include "exposure/uncertainty.h"
#include "exposure/weekly_levels.h"
#include "record/level_reader.h"

#include <optional>
#include <string>
#include <vector>

struct MeterReport {
    std::string Host;
    // As the meter reported them and the display applied it, each value with its time; none
    // when the record holds nothing of the meter (a record made before it kept them).
    std::vector<HeldValue> Names;
    std::vector<HeldValue> Locations;
    std::vector<HeldValue> Offsets;  // "+3 dB"
    // Every shift of every day of the period that had begun when the plan was made, in order;
    // one not ended then is under way (ShiftFigures::UnderWay), with no LEX,8h, dose or band.
    std::vector<ShiftFigures> Shifts;
    // For each shift of the patterns (the same hours once), in order: the uncertainty over the
    // period's ended, judged shifts of that name.
    std::vector<ShiftUncertainty> Uncertainties;
    // The weekly level of each ISO week and shift of the pattern with minutes, as
    // decimon-levels --weeks gives it.
    std::vector<WeeklyLevel> Weeks;
    std::optional<std::size_t> Highest;  // the shift of the period's highest judged LEX,8h
    bool AnyMinutes = false;             // without any, the summary alone says so
};

struct ReportPlan {
    LocalDate From;
    LocalDate To;
    std::vector<DatedPattern> Patterns;    // each day's shifts: each pattern with the dates it held
    int MeterClass = MeterClassNotStated;  // the settings' MeterClass: 1, 2 or not stated
    std::vector<MeterReport> Meters;       // none: the period has no minutes of any meter
};

// "+3 dB", "0 dB", "-2 dB".
std::string FormatOffset(int decibels);

// The plan of `host` (or, when there is none, of every host with minutes in the period) over
// from..to, both included, each day judged by its shifts among `patterns` at the moment `now`
// (UTC seconds), the uncertainty for a meter of `meterClass`; nothing when the record cannot
// be read.
std::optional<ReportPlan> MakeReportPlan(LevelReader& reader, const std::optional<std::string>& host,
                                         const LocalDate& from, const LocalDate& to,
                                         const std::vector<DatedPattern>& patterns, std::int64_t now, int meterClass);

// The day's shifts of `meter`: those that start on `date`.
std::vector<ShiftFigures> ShiftsOfDay(const MeterReport& meter, const LocalDate& date);
