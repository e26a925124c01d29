#include "monitor/dose.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

constexpr double CriterionLevel = 85.0;
constexpr double ExponentPerDecibel = 0.1;
constexpr double SecondsPerHour = 3600.0;

// Truncates toward zero like a cast, but saturates where a cast would be undefined.
int TruncateSaturated(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

// "%dh %dm", or "> %dh %dm" when the limit lies beyond the shift.
std::string Format(bool beyondShift, int hours, int minutes) {
    char text[128];
    std::snprintf(text, sizeof text, beyondShift ? "> %dh %dm" : "%dh %dm", hours, minutes);
    return text;
}

}  // namespace

std::string FormatTimeToLimit(double level, int levelOffset, double shiftLenHours) {
    if (level < 0 || !std::isfinite(level) || !std::isfinite(shiftLenHours))
        return "---";
    const double shiftSeconds = shiftLenHours * SecondsPerHour;
    const double exponent = (CriterionLevel - (static_cast<double>(levelOffset) + level)) * ExponentPerDecibel;
    const double allowedSeconds = std::pow(10.0, exponent) * shiftSeconds;
    if (shiftSeconds < allowedSeconds) {
        double wholeHours = 0.0;
        const double fraction = std::modf(shiftLenHours, &wholeHours);
        return Format(true, TruncateSaturated(wholeHours), TruncateSaturated(std::fabs(fraction) * 60.0));
    }
    const int seconds = TruncateSaturated(allowedSeconds);
    return Format(false, seconds / 3600, (seconds % 3600) / 60);
}
