#include "levels/levels_csv.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// One decimal, rounded as printf's "%.1f" rounds, with "." whatever the locale; empty for a
// value that is not a number. (std::to_chars: a tenth of the time printf takes, which counts
// over a year of minutes.)
void AppendOneDecimal(std::string& line, double value) {
    if (!std::isfinite(value))
        return;
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr;
    line.append(text, end);
}

// The shortest text that reads back as the value: "60", "30.5".
void AppendShortest(std::string& line, double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    line.append(text, end);
}

// Covered seconds as hours and minutes, "8:00", to the nearest minute.
std::string HoursMinutes(double seconds) {
    const long long minutes = std::llround(seconds / 60.0);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", minutes / 60, minutes % 60);
    return text;
}

void AppendField(std::string& line, std::string_view field) {
    line += field;
    line += ',';
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
    std::string line;
    line.reserve(96);
    AppendField(line, FormatLocalTime(row.Start));
    AppendField(line, CsvField(row.Host));
    AppendField(line, CsvField(row.Weighting));
    AppendField(line, std::to_string(row.Samples));
    AppendShortest(line, row.Seconds);
    for (double level : {row.Leq, row.Lmin, row.Lmax}) {
        line += ',';
        AppendOneDecimal(line, level);
    }
    return line + "\r\n";
}

void DailyCsv::Add(const MinuteRow& row) {
    if (day_ == nullptr || row.Host != host_ || row.Start < dayStart_ || row.Start >= dayEnd_) {
        const LocalDate date = LocalDateOf(row.Start);
        host_ = row.Host;
        dayStart_ = LocalDayStart(date);
        dayEnd_ = LocalDayStart(NextDate(date));
        day_ = &days_[{date, row.Host}];
    }
    day_->Add(row);
}

std::string DailyCsv::Lines(double shiftLenHours) const {
    std::string lines;
    for (const auto& [day, sum] : days_) {
        const auto exposure = sum.Result(shiftLenHours);
        if (!exposure)
            continue;  // minutes that cover no time (not made by the display)
        AppendField(lines, FormatDate(day.first));
        AppendField(lines, CsvField(day.second));
        AppendField(lines, CsvField(exposure->Weighting));
        lines += HoursMinutes(exposure->Seconds);
        for (double level : {exposure->Leq, exposure->Lex8h, exposure->DosePercent, exposure->Lmax}) {
            lines += ',';
            AppendOneDecimal(lines, level);
        }
        lines += "\r\n";
    }
    return lines;
}
