#include "levels/levels_csv.h"

#include "levels/local_days.h"
#include "platform/sys/c_locale.h"
#include "record/level_math.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

namespace {

// "%.1f" in the "C" locale; empty for a value that is not a number.
std::string OneDecimal(double value) {
    if (!std::isfinite(value))
        return {};
    const ScopedCLocale numbers;
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// Covered seconds as hours and minutes, "8:00", to the nearest minute.
std::string HoursMinutes(double seconds) {
    const long long minutes = std::llround(seconds / 60.0);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", minutes / 60, minutes % 60);
    return text;
}

std::string Seconds(double seconds) {
    const ScopedCLocale numbers;
    char text[64];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

std::string Joined(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty())
            line += ',';
        line += field;
    }
    return line + "\r\n";
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string MinuteCsvLine(const MinuteRow& row) {
    return Joined({FormatLocalTime(row.Start), CsvField(row.Host), CsvField(row.Weighting), std::to_string(row.Samples),
                   Seconds(row.Seconds), OneDecimal(row.Leq), OneDecimal(row.Lmin), OneDecimal(row.Lmax)});
}

std::string DailyCsvLines(std::span<const MinuteRow> rows, double shiftLenHours) {
    std::map<std::pair<LocalDate, std::string>, std::vector<MinuteRow>> days;
    for (const MinuteRow& row : rows)
        days[{LocalDateOf(row.Start), row.Host}].push_back(row);
    std::string lines;
    for (const auto& [day, minutes] : days) {
        const auto exposure = SummarizeExposure(minutes, shiftLenHours);
        if (!exposure)
            continue;  // minutes that cover no time (not made by the display)
        lines += Joined({FormatDate(day.first), CsvField(day.second), CsvField(exposure->Weighting),
                         HoursMinutes(exposure->Seconds), OneDecimal(exposure->Leq), OneDecimal(exposure->Lex8h),
                         OneDecimal(exposure->DosePercent), OneDecimal(exposure->LoudestLeq)});
    }
    return lines;
}
