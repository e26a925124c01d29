#pragma once
// The report's tables as data: the summary's columns and the rows of a day's table, each a
// head and how its cell reads a shift's figures, so that a further figure is one more line.

#include "exposure/shift_figures.h"
#include "exposure/uncertainty.h"
#include "exposure/weekly_levels.h"
#include "report/report_table.h"

#include <string>
#include <vector>

// A row of the summary: a shift, and whether it is the period's highest.
struct SummaryLine {
    const ShiftFigures* Shift;
    bool Highest;
};

// The summary's columns, a row per shift.
extern const std::vector<TableField<SummaryLine>> SummaryFields;
// The day's table, read across: a column per shift.
extern const std::vector<TableField<ShiftFigures>> DayFields;
// The summary's uncertainties: a row per shift of the patterns.
extern const std::vector<TableField<ShiftUncertainty>> UncertaintyFields;
// The summary's weekly levels: a row per ISO week and shift.
extern const std::vector<TableField<WeeklyLevel>> WeekFields;

// "Sunday".
std::string Weekday(const LocalDate& date);
// The shifts as the pages print them, with room to wrap: "06:00-14:00, 14:00-22:00".
std::string PatternText(const ShiftPattern& pattern);
// The meter's class as the uncertainty reckons it: "class 1", "class 2", or "class not stated,
// reckoned as class 2".
std::string MeterClassText(int meterClass);
