#include "diag/diag_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string FormatThousands(std::int32_t value) {
    // In 64 bits, so that the magnitude of the smallest int32 exists.
    const long long n = value;
    const long long m = std::llabs(n);
    char text[32];
    if (m < 1000)
        std::snprintf(text, sizeof text, "%lld", n);
    else if (m < 1000000)
        std::snprintf(text, sizeof text, "%lld,%03lld", n / 1000, std::llabs(n % 1000));
    else if (m < 1000000000)
        std::snprintf(text, sizeof text, "%lld,%03lld,%03lld", n / 1000000, std::llabs(n / 1000 % 1000),
                      std::llabs(n % 1000));
    else
        std::snprintf(text, sizeof text, "%lld,%03lld,%03lld,%03lld", n / 1000000000, std::llabs(n / 1000000 % 1000),
                      std::llabs(n / 1000 % 1000), std::llabs(n % 1000));
    return text;
}

std::string FormatSpan(const COleDateTimeSpan& span) {
    constexpr double HalfSecond = 0.5 / 86400.0;
    constexpr double DayLimit = 2147483647.0;
    const double x = std::isnan(span.GetTotalDays()) ? 0.0 : span.GetTotalDays();
    const double rounded = x >= 0 ? x + HalfSecond : x - HalfSecond;
    // Clamped, every product below stays under 2^53 and converts exactly.
    const double r = std::fmax(-DayLimit, std::fmin(rounded, DayLimit));
    const auto days = static_cast<long long>(r);
    const auto hours = static_cast<long long>(r * 24.0) % 24;
    const auto minutes = static_cast<long long>(r * 1440.0) % 60;
    const auto seconds = static_cast<long long>(r * 86400.0) % 60;
    char text[64];
    std::snprintf(text, sizeof text, "%lldd %lldh %lldm %llds", days, hours, minutes, seconds);
    return text;
}
