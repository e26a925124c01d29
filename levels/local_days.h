#pragma once
// Local calendar days in the time zone of the process (TZ), for reading the record by day:
// a day runs from one local midnight to the next, so it lasts 23 or 25 hours on the days the
// clocks change.

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
// The local date of the moment `utcSeconds`.
LocalDate LocalDateOf(std::int64_t utcSeconds);
// The first second of the local day `date`, in UTC seconds: its local midnight, or where the
// clocks skip midnight, the first moment of the day that exists.
std::int64_t LocalDayStart(const LocalDate& date);

// "2026-11-30T08:00:00+01:00": the moment in local time with its offset from UTC.
std::string FormatLocalTime(std::int64_t utcSeconds);
