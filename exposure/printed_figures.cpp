#include "exposure/printed_figures.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

std::string FormatTenths(double value) {
    if (!std::isfinite(value))
        return {};
    // std::to_chars: a tenth of the time printf takes, which counts over a year of minutes.
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr;
    return std::string(text, end);
}

double PrintedTenths(double value) {
    const std::string printed = FormatTenths(value);
    double read = std::numeric_limits<double>::quiet_NaN();
    if (!printed.empty())
        std::from_chars(printed.data(), printed.data() + printed.size(), read);
    return read;
}

std::string FormatHoursMinutes(double seconds) {
    const long long minutes = std::llround(seconds / 60.0);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", minutes / 60, minutes % 60);
    return text;
}

int PrintedPercent(double seconds, double ofSeconds) {
    const long long of = std::llround(ofSeconds / 60.0);
    return of > 0 ? static_cast<int>(100 * std::llround(seconds / 60.0) / of) : 0;
}
