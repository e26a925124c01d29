#include "platform/sys/ole_date_time.h"

#include <cmath>

namespace {

constexpr double MaxSpanDays = 3615897.0;
constexpr double SecondsPerDay = 86400.0;
// 0100-01-01 and 9999-12-31 as day counts: the range a date-time can hold.
constexpr double MinDays = -657434.0;
constexpr double MaxDays = 2958465.999999;

COleDateTime::Clock currentClock = nullptr;

// Days from 1970-01-01 to the civil date (proleptic Gregorian calendar).
long DaysFromCivil(long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long>(dayOfEra) - 719468;
}

void CivilFromDays(long days, int& year, int& month, int& day) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

const long Epoch1899 = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int year, int month) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : lengths[month - 1];
}

// Whole days before 1899-12-30 keep their time of day as a positive fraction:
// 1899-12-29 06:00 is -1.25.
double ToDayCount(long wholeDays, int secondsOfDay) {
    const double fraction = secondsOfDay / SecondsPerDay;
    return wholeDays >= 0 ? wholeDays + fraction : wholeDays - fraction;
}

// D(d): the day count as a plain number line, for subtraction.
double Linear(double days) {
    if (days >= 0)
        return days;
    const double c = std::ceil(days);
    return c - (days - c);
}

}  // namespace

COleDateTimeSpan::COleDateTimeSpan(double days)
    : span_(days), status_(std::isfinite(days) && std::fabs(days) <= MaxSpanDays ? valid : invalid) {}

void COleDateTime::SetClock(Clock clock) {
    currentClock = clock;
}

std::time_t COleDateTime::GetCurrentCalendarTime() {
    return currentClock ? currentClock() : std::time(nullptr);
}

COleDateTime COleDateTime::GetCurrentTime() {
    const std::time_t now = GetCurrentCalendarTime();
    std::tm local{};
    COleDateTime result;
    if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &local)) {
        result.status_ = invalid;
        return result;
    }
    result.SetDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                       local.tm_sec);
    std::tm back{};
    if (result.status_ == valid &&
        (!result.GetAsTm(back) || back.tm_year != local.tm_year || back.tm_mon != local.tm_mon ||
         back.tm_mday != local.tm_mday || back.tm_hour != local.tm_hour || back.tm_min != local.tm_min ||
         back.tm_sec != local.tm_sec))
        result.status_ = invalid;
    return result;
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        days_ = 0.0;
        status_ = invalid;
        return 1;
    }
    days_ = ToDayCount(DaysFromCivil(year, month, day) - Epoch1899, hour * 3600 + minute * 60 + second);
    status_ = valid;
    return 0;
}

bool COleDateTime::GetAsTm(std::tm& out) const {
    if (status_ != valid || !(days_ >= MinDays && days_ <= MaxDays))
        return false;
    // Split into whole days and seconds of the day, rounded to the nearest second.
    const double whole = std::trunc(days_);
    long days = static_cast<long>(whole);
    long seconds = std::lround(std::fabs(days_ - whole) * SecondsPerDay);
    if (seconds >= 86400) {  // rounding reached the next calendar day (day -1 is followed by day 0)
        seconds -= 86400;
        days += 1;
    }
    int year = 0, month = 0, day = 0;
    CivilFromDays(days + Epoch1899, year, month, day);
    out = std::tm{};
    out.tm_year = year - 1900;
    out.tm_mon = month - 1;
    out.tm_mday = day;
    out.tm_hour = static_cast<int>(seconds / 3600);
    out.tm_min = static_cast<int>(seconds / 60 % 60);
    out.tm_sec = static_cast<int>(seconds % 60);
    return true;
}

bool COleDateTime::operator==(const COleDateTime& other) const {
    return status_ == valid && other.status_ == valid && days_ == other.days_;
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const {
    return COleDateTimeSpan(Linear(days_) - Linear(other.days_));
}
