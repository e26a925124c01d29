#pragma once
// Local wall-clock date-times as a count of days since 1899-12-30 00:00 (the time of day as
// the fraction) with a validity status, and spans between them in days.

#include <ctime>

class COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1 };

    COleDateTimeSpan() = default;
    explicit COleDateTimeSpan(double days);

    double GetTotalDays() const { return span_; }
    DateTimeSpanStatus GetStatus() const { return status_; }

private:
    double span_ = 0.0;
    DateTimeSpanStatus status_ = valid;
};

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1 };

    // Where "now" comes from: the C library's calendar time, or a test's clock.
    using Clock = std::time_t (*)();
    static void SetClock(Clock clock);  // null restores the system clock
    // The clock's calendar time: seconds since 1970-01-01 00:00 UTC.
    static std::time_t GetCurrentCalendarTime();

    COleDateTime() = default;
    COleDateTime(double days, DateTimeStatus status) : days_(days), status_(status) {}

    // The current local time, to the second. Invalid when the calendar time cannot be
    // converted, or the day count does not convert back to the same local time.
    static COleDateTime GetCurrentTime();

    // Sets a local time of years 100 to 9999; 0 on success, 1 (and status invalid) when a
    // field is out of its range.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);

    // The broken-down time of the day count; false for an invalid or out-of-range value.
    bool GetAsTm(std::tm& out) const;

    double GetDays() const { return days_; }
    DateTimeStatus GetStatus() const { return status_; }

    // Equal when both are valid and hold the same day count.
    bool operator==(const COleDateTime& other) const;
    // D(this) - D(other), where days before 1899-12-30 count their fraction forward from
    // the day's start. Invalid beyond +/- 3,615,897 days; the statuses are not consulted.
    COleDateTimeSpan operator-(const COleDateTime& other) const;

private:
    double days_ = 0.0;
    DateTimeStatus status_ = valid;
};
