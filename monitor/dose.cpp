#include "monitor/dose.h"

#include "exposure/acoustics.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

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

bool HasReading(double level, double shiftLenHours) {
    return level >= 0 && std::isfinite(level) && std::isfinite(shiftLenHours);
}

double AllowedSeconds(double level, int levelOffset, double shiftLenHours) {
    const double exponent = (DoseCriterionLevel - (static_cast<double>(levelOffset) + level)) * ExponentPerDecibel;
    return std::pow(10.0, exponent) * (shiftLenHours * SecondsPerHour);
}

}  // namespace

double TimeToLimitSeconds(double level, int levelOffset, double shiftLenHours) {
    return HasReading(level, shiftLenHours) ? AllowedSeconds(level, levelOffset, shiftLenHours) : std::nan("");
}

std::string FormatTimeToLimit(double level, int levelOffset, double shiftLenHours) {
    if (!HasReading(level, shiftLenHours))
        return "---";
    const double allowedSeconds = AllowedSeconds(level, levelOffset, shiftLenHours);
    const double shiftSeconds = shiftLenHours * SecondsPerHour;
    if (shiftSeconds < allowedSeconds) {
        double wholeHours = 0.0;
        const double fraction = std::modf(shiftLenHours, &wholeHours);
        return Format(true, TruncateSaturated(wholeHours), TruncateSaturated(std::fabs(fraction) * 60.0));
    }
    const int seconds = TruncateSaturated(allowedSeconds);
    return Format(false, seconds / 3600, (seconds % 3600) / 60);
}
