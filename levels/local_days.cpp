#include "levels/local_days.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : lengths[month - 1];
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

LocalDate NextDate(const LocalDate& date) {
    if (date.Day < DaysInMonth(date.Year, date.Month))
        return {date.Year, date.Month, date.Day + 1};
    if (date.Month < 12)
        return {date.Year, date.Month + 1, 1};
    return {date.Year + 1, 1, 1};
}

LocalDate LocalDateOf(std::int64_t utcSeconds) {
    const std::tm local = LocalTm(utcSeconds);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::int64_t LocalDayStart(const LocalDate& date) {
    std::tm midnight{};
    midnight.tm_year = date.Year - 1900;
    midnight.tm_mon = date.Month - 1;
    midnight.tm_mday = date.Day;
    midnight.tm_isdst = -1;
    // Where the clocks skip midnight, mktime moves the missing time on by the skip: the first
    // moment of the day that exists.
    return static_cast<std::int64_t>(std::mktime(&midnight));
}

std::string FormatLocalTime(std::int64_t utcSeconds) {
    const std::tm local = LocalTm(utcSeconds);
    const long offset = std::labs(local.tm_gmtoff) / 60;
    // By hand rather than with snprintf: decimon-levels writes one for each of a year's
    // minutes, and this is a fifth of the time printf takes.
    std::string text = FormatDate({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
    for (const auto& [separator, value] :
         {std::pair{'T', local.tm_hour}, std::pair{':', local.tm_min}, std::pair{':', local.tm_sec},
          std::pair{local.tm_gmtoff < 0 ? '-' : '+', static_cast<int>(offset / 60)},
          std::pair{':', static_cast<int>(offset % 60)}}) {
        text += separator;
        text += static_cast<char>('0' + value / 10 % 10);
        text += static_cast<char>('0' + value % 10);
    }
    return text;
}
