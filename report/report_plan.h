#pragma once
// What a report holds before anything is drawn: the meters, each with the figures of every
// day of the period (from the daily sums that decimon-levels --daily prints), and how many
// pages each part takes. The minutes themselves are read later, a day at a time.

#include "levels/daily_figures.h"
#include "record/action_values.h"
#include "record/level_math.h"
#include "record/local_days.h"
#include "record/shift_pattern.h"

#include <optional>
#include <string>
#include <vector>

struct DayFigures {
    LocalDate Date;
    std::optional<Exposure> Figures;  // nothing: no minute of the day covers any time
    ActionBand Band = ActionBand::None;
    bool HighestLex = false;  // the period's highest LEX,8h for this meter
};

struct MeterReport {
    std::string Host;
    std::vector<DayFigures> Days;  // every day of the period, in order
    bool AnyMinutes = false;       // without any, the summary alone says so
    std::string Weightings;        // the days' weightings, ", " between them
};

struct ReportPlan {
    LocalDate From;
    LocalDate To;
    double ShiftLenHours = 8.0;
    std::vector<MeterReport> Meters;  // none: the period has no minutes of any meter
    ShiftPattern Shifts;              // the shifts judged
};

// The plan for `host` (or, when there is none, every host with minutes in `sums`) over
// from..to, both included.
ReportPlan MakeReportPlan(const DailySums& sums, const std::optional<std::string>& host, const LocalDate& from,
                          const LocalDate& to, double shiftLenHours);
