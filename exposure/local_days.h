#pragma once
// Local calendar days and times of day in the time zone of the process (TZ), for everything
// that reads the record by local time (decimon-levels, the history picture). A local day starts
// at the first moment whose local date is that date, whatever came before: where midnight
// comes twice as the clocks go back, at the first of them; where the clocks skip midnight, at
// the first moment of the day that exists. A day lasts 23 or 25 hours on the days the clocks
// change, and every moment belongs to exactly one day.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct LocalDate {
    int Year = 0;
    int Month = 0;  // 1 to 12
    int Day = 0;    // 1 to 31

    bool operator==(const LocalDate&) const = default;
    auto operator<=>(const LocalDate&) const = default;
};

// "YYYY-MM-DD" of a real calendar date from year 1 to 9999; nothing for anything else.
std::optional<LocalDate> ParseDate(std::string_view text);
std::string FormatDate(const LocalDate& date);

// The day after `date`.
LocalDate NextDate(const LocalDate& date);

// The ISO 8601 week of a date: weeks run Monday to Sunday, and week 1 of a year is the one
// that holds its first Thursday.
struct IsoWeek {
    int Year = 0;
    int Week = 0;  // 1 to 53

    bool operator==(const IsoWeek&) const = default;
    auto operator<=>(const IsoWeek&) const = default;
};

IsoWeek IsoWeekOf(const LocalDate& date);
// "2025-W48".
std::string FormatIsoWeek(const IsoWeek& week);

// The first moment of the local day `date`, in UTC seconds.
std::int64_t LocalDayStart(const LocalDate& date);
// The first moment at which the clocks of `date` reach `secondOfDay` (0 to 86400) or later, in
// UTC seconds: of a time that comes twice as the clocks go back, the first; of a time the
// clocks skip, the moment they skip to. LocalDayStart(date) is LocalTimeStart(date, 0).
std::int64_t LocalTimeStart(const LocalDate& date, int secondOfDay);
// The local day that holds the moment `utcSeconds`: the one from whose start to the next
// day's start it falls.
LocalDate LocalDateOf(std::int64_t utcSeconds);

// What the clocks show at a moment.
struct LocalMoment {
    LocalDate Date;  // the calendar date on the clock (LocalDateOf gives the day it is part of)
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    long OffsetSeconds = 0;  // local time minus UTC
};

LocalMoment LocalMomentOf(std::int64_t utcSeconds);

// Whether the clocks show the time of `utcSeconds` twice (the hour repeated as they go back).
bool LocalTimeRepeats(std::int64_t utcSeconds);

// "2026-11-30T08:00:00+01:00": the moment in local time with its offset from UTC.
std::string FormatLocalTime(std::int64_t utcSeconds);

// "08:00": the clock's hours and minutes.
std::string FormatTimeOfDay(const LocalMoment& local);
