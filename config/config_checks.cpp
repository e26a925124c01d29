#include "config/config_checks.h"

#include "platform/sys/c_locale.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

double ReadDecimal(const char* text) {
    ScopedCLocale numbers;
    return std::atof(text);
}

int ReadInteger(const char* text) {
    ScopedCLocale numbers;
    const long value = std::strtol(text, nullptr, 10);
    return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

std::string FormatDecimal(double value) {
    ScopedCLocale numbers;
    char text[320];  // any double: sign, 309 digits, point, one decimal, NUL
    std::snprintf(text, sizeof text, "%-.1f", value);
    return text;
}

bool HasOnlyAllowedCharacters(std::string_view text, const char* allowed) {
    return !allowed || text.find_first_not_of(allowed) == std::string_view::npos;
}

bool InRange(const BoxRule& rule, double value) {
    return value >= rule.low && value <= rule.high;
}

double RoundToHalfHours(double hours) {
    double whole = 0.0;
    const double fraction = std::fabs(std::modf(hours, &whole));
    whole = std::fabs(whole);
    if (fraction < 0.25)
        return whole;
    if (fraction < 0.75)
        return whole + 0.5;
    return whole + 1.0;
}

std::optional<std::string> ComposeWarningMessage(int lineCount, std::string_view first, std::string_view second) {
    if (lineCount > 2)
        return std::nullopt;
    const bool twoLines = lineCount == 2;
    if (!first.empty())
        return twoLines && !second.empty() ? std::string(first) + "\r\n" + std::string(second) : std::string(first);
    if (!twoLines)
        return std::string();  // an empty box
    if (second.empty())
        return std::nullopt;
    return std::string(second);  // the second line moves up
}
