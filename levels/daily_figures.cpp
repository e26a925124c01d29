#include "levels/daily_figures.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string FormatTenths(double value) {
    if (!std::isfinite(value))
        return {};
    // std::to_chars: a tenth of the time printf takes, which counts over a year of minutes.
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr;
    return std::string(text, end);
}

std::string FormatHoursMinutes(double seconds) {
    const long long minutes = std::llround(seconds / 60.0);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", minutes / 60, minutes % 60);
    return text;
}

void DailySums::Add(const MinuteRow& row) {
    if (day_ == nullptr || row.Host != host_ || row.Start < dayStart_ || row.Start >= dayEnd_) {
        const LocalDate date = LocalDateOf(row.Start);
        host_ = row.Host;
        dayStart_ = LocalDayStart(date);
        dayEnd_ = LocalDayStart(NextDate(date));
        day_ = &days_[{date, row.Host}];
    }
    day_->Add(row);
}
