#pragma once
// The CSV of decimon-levels (RFC 4180: a header row, fields with a comma, a quote or a line
// break quoted, records ending in CRLF), numbers with "." as the decimal point whatever the
// locale and levels with one decimal.
//
//   minutes: start,host,weighting,samples,seconds,leq,lmin,lmax
//            start in local time with its offset: 2026-11-30T08:00:00+01:00
//   daily:   date,host,weighting,measured,leq,lex8h,dose_percent,lmax
//            one row per local day and host; measured as h:mm of covered time, leq over the
//            covered time, lex8h, the dose against the shift length, lmax the loudest
//            level (the highest of the minutes' lmax)
//   shifts:  date,shift,host,duration,measured,coverage_percent,laeq,lex8h,dose_percent,lmax,
//            loudest_leq,loudest_minute,minutes_above_85,verdict,other_weightings,judged_shifts,
//            lex8h_mean,u1,c1u1,u2,u3,expanded_uncertainty,uncertainty,state
//            one row per shift of a local day and host (exposure/shift_figures.h): the shift's
//            hours, its real duration and the A-weighted time measured as h:mm, the whole per
//            cent measured, the A-weighted figures, the loudest minute's start in local time
//            with its offset, the action band or why there is none, the other weightings' time,
//            the uncertainty of the shifts of its name and host over the period
//            (exposure/uncertainty.h: N, the mean LEX,8h, u1, c1·u1, u2, u3, U and its text), and
//            "ended" or "under way" (then the figures so far, no lex8h, dose or band)
//   weeks:   week,shift,host,judged_shifts,not_judged_shifts,lex_w,verdict
//            one row per ISO week ("2025-W48"), shift and host with a shift holding minutes:
//            the ended, judged shifts and those with minutes but no band, the weekly level of
//            the judged ones, the action band or why there is none

#include "exposure/minute_row.h"
#include "exposure/shift_figures.h"
#include "exposure/shift_sums.h"
#include "exposure/uncertainty.h"
#include "levels/daily_figures.h"

#include <string>
#include <string_view>

inline constexpr char MinuteCsvHeader[] = "start,host,weighting,samples,seconds,leq,lmin,lmax\r\n";
inline constexpr char WeekCsvHeader[] = "week,shift,host,judged_shifts,not_judged_shifts,lex_w,verdict\r\n";
inline constexpr char DailyCsvHeader[] = "date,host,weighting,measured,leq,lex8h,dose_percent,lmax\r\n";
inline constexpr char ShiftCsvHeader[] =
    "date,shift,host,duration,measured,coverage_percent,laeq,lex8h,dose_percent,lmax,loudest_leq,loudest_minute,"
    "minutes_above_85,verdict,other_weightings,judged_shifts,lex8h_mean,u1,c1u1,u2,u3,expanded_uncertainty,"
    "uncertainty,state\r\n";

// The field as it stands, or quoted with its quotes doubled when it holds a comma, a quote, a
// carriage return or a line feed.
std::string CsvField(std::string_view text);

// One record of the minutes' CSV.
std::string MinuteCsvLine(const MinuteRow& row);

// One record of the shifts' CSV: the figures of `host` in one shift, and the uncertainty of the
// period's shifts of its name.
std::string ShiftCsvLine(const std::string& host, const ShiftFigures& figures, const ShiftUncertainty& uncertainty);

// The records of the shifts of `sums` (judged by `patterns`) that hold minutes of any time, in
// its order, each with the uncertainty of the period's shifts of its name and host for a meter
// of `meterClass`.
std::string ShiftCsvLines(const ShiftSums& sums, const std::vector<DatedPattern>& patterns, int meterClass);

// The weekly levels of the shifts of `sums` (exposure/weekly_levels.h), one record per ISO week,
// shift and host, in that order.
std::string WeekCsvLines(const ShiftSums& sums);

// The daily CSV, summed as the minutes come: one running sum per local day and host is all
// it keeps, however many minutes it is given.
class DailyCsv {
public:
    DailyCsv() = default;
    DailyCsv(const DailyCsv&) = delete;
    DailyCsv& operator=(const DailyCsv&) = delete;

    // Adds a minute; in any order, though those of one host in order of start are quickest.
    void Add(const MinuteRow& row) { sums_.Add(row); }

    // The records: one per local day and host with covered time, in the order of the days and
    // then of the hosts. The dose reckons a shift of `shiftLenHours` at 85 dB as 100 % (empty
    // for a shift that is no positive number).
    std::string Lines(double shiftLenHours) const;

private:
    DailySums sums_;
};
