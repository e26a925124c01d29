#include "exposure/local_days.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace {

constexpr std::int64_t SecondsPerDay = 86400;
// Further than any zone has ever been from UTC: a day starts within this of its midnight read
// as UTC.
constexpr std::int64_t FarthestOffset = 30 * 3600;
// How often the offset from UTC is looked at while a day's start is sought: two changes of the
// clocks within an hour that undo each other would go unseen.
constexpr std::int64_t OffsetStep = 3600;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : lengths[month - 1];
}

// Days from 1970-01-01 to `date` in the proleptic Gregorian calendar.
std::int64_t DaysSinceEpoch(const LocalDate& date) {
    const int year = date.Year - (date.Month <= 2 ? 1 : 0);
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (date.Month > 2 ? date.Month - 3 : date.Month + 9) + 2) / 5 + date.Day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097LL + dayOfEra - 719468;
}

bool Digits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

std::tm LocalTm(std::int64_t utcSeconds) {
    const std::time_t moment = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    localtime_r(&moment, &local);
    return local;
}

long OffsetAt(std::int64_t utcSeconds) {
    return LocalTm(utcSeconds).tm_gmtoff;
}

// The first moment after `from` (whose offset is `offset`) with another offset, knowing that
// `to` has another.
std::int64_t OffsetChange(std::int64_t from, std::int64_t to, long offset) {
    while (to - from > 1) {
        const std::int64_t middle = from + (to - from) / 2;
        (OffsetAt(middle) == offset ? from : to) = middle;
    }
    return to;
}

}  // namespace

std::optional<LocalDate> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text.substr(0, 4)) ||
        !Digits(text.substr(5, 2)) || !Digits(text.substr(8, 2)))
        return std::nullopt;
    const LocalDate date{Number(text.substr(0, 4)), Number(text.substr(5, 2)), Number(text.substr(8, 2))};
    if (date.Year < 1 || date.Month < 1 || date.Month > 12 || date.Day < 1 ||
        date.Day > DaysInMonth(date.Year, date.Month))
        return std::nullopt;
    return date;
}

std::string FormatDate(const LocalDate& date) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    return text;
}

IsoWeek IsoWeekOf(const LocalDate& date) {
    const std::int64_t day = DaysSinceEpoch(date);
    const std::int64_t monday = day - (day + 3) % 7;  // 1970-01-01 was a Thursday; no date before it is read
    const std::int64_t thursday = monday + 3;
    int year = date.Year;
    if (thursday >= DaysSinceEpoch({year + 1, 1, 1}))
        ++year;
    else if (thursday < DaysSinceEpoch({year, 1, 1}))
        --year;
    return {year, static_cast<int>((thursday - DaysSinceEpoch({year, 1, 1})) / 7) + 1};
}

std::string FormatIsoWeek(const IsoWeek& week) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-W%02d", week.Year, week.Week);
    return text;
}

LocalDate NextDate(const LocalDate& date) {
    if (date.Day < DaysInMonth(date.Year, date.Month))
        return {date.Year, date.Month, date.Day + 1};
    if (date.Month < 12)
        return {date.Year, date.Month + 1, 1};
    return {date.Year + 1, 1, 1};
}

// Not mktime: it answers a local time that comes twice from whatever an earlier call left.
// Instead the moments from well before the time are walked in runs of one offset from UTC;
// within a run the clock shows UTC plus the offset, so the run's first moment at the time or
// later is plain arithmetic. (A time the clocks skip starts where the next one that exists does.)
std::int64_t LocalTimeStart(const LocalDate& date, int secondOfDay) {
    const std::int64_t target = DaysSinceEpoch(date) * SecondsPerDay + secondOfDay;  // read as UTC
    std::int64_t from = target - FarthestOffset;
    long offset = OffsetAt(from);
    while (from < target + FarthestOffset) {
        const std::int64_t step = from + OffsetStep;
        const std::int64_t end = OffsetAt(step) == offset ? step : OffsetChange(from, step, offset);
        const std::int64_t start = std::max(from, target - offset);
        if (start < end)
            return start;
        from = end;
        offset = OffsetAt(from);
    }
    return target - offset;
}

std::int64_t LocalDayStart(const LocalDate& date) {
    return LocalTimeStart(date, 0);
}

LocalDate LocalDateOf(std::int64_t utcSeconds) {
    const LocalDate shown = LocalMomentOf(utcSeconds).Date;
    // After clocks put back across midnight, the previous date shows again in the next day.
    const LocalDate next = NextDate(shown);
    return utcSeconds >= LocalDayStart(next) ? next : shown;
}

LocalMoment LocalMomentOf(std::int64_t utcSeconds) {
    const std::tm local = LocalTm(utcSeconds);
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
            local.tm_hour,
            local.tm_min,
            local.tm_sec,
            local.tm_gmtoff};
}

bool LocalTimeRepeats(std::int64_t utcSeconds) {
    const long offset = OffsetAt(utcSeconds);
    // The clocks move by an hour or less: an offset in force within three hours of the moment
    // that shows its clock time again is the other side of a change.
    for (const std::int64_t probe : {utcSeconds - 3 * 3600, utcSeconds + 3 * 3600}) {
        const long other = OffsetAt(probe);
        if (other != offset && OffsetAt(utcSeconds + offset - other) == other)
            return true;
    }
    return false;
}

std::string FormatLocalTime(std::int64_t utcSeconds) {
    const LocalMoment local = LocalMomentOf(utcSeconds);
    const long offset = std::labs(local.OffsetSeconds) / 60;
    // By hand rather than with snprintf: decimon-levels writes one for each of a year's
    // minutes, and this is a fifth of the time printf takes.
    std::string text = FormatDate(local.Date);
    for (const auto& [separator, value] :
         {std::pair{'T', local.Hour}, std::pair{':', local.Minute}, std::pair{':', local.Second},
          std::pair{local.OffsetSeconds < 0 ? '-' : '+', static_cast<int>(offset / 60)},
          std::pair{':', static_cast<int>(offset % 60)}}) {
        text += separator;
        text += static_cast<char>('0' + value / 10 % 10);
        text += static_cast<char>('0' + value % 10);
    }
    return text;
}

std::string FormatTimeOfDay(const LocalMoment& local) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", local.Hour, local.Minute);
    return text;
}
