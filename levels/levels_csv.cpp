#include "levels/levels_csv.h"

#include "exposure/weekly_levels.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// The shortest text that reads back as the value: "60", "30.5".
void AppendShortest(std::string& line, double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    line.append(text, end);
}

void AppendField(std::string& line, std::string_view field) {
    line += field;
    line += ',';
}

// The figures of the shifts of some sums that hold minutes of any time, per host, and the order
// the sums have them in.
struct HostShifts {
    std::map<std::string, std::vector<ShiftFigures>> Hosts;
    std::vector<std::pair<std::string, std::size_t>> Order;  // the host, the index in its shifts
};

HostShifts ShiftsByHost(const ShiftSums& sums) {
    HostShifts shifts;
    for (const auto& [key, sum] : sums.Sums()) {
        ShiftFigures figures = sum.Figures();
        if (!(figures.MeasuredSeconds > 0.0) && figures.OtherSeconds.empty())
            continue;  // minutes of no time
        std::vector<ShiftFigures>& host = shifts.Hosts[key.second];
        shifts.Order.emplace_back(key.second, host.size());
        host.push_back(std::move(figures));
    }
    return shifts;
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
        line += FormatTenths(level);
    }
    return line + "\r\n";
}

std::string DailyCsv::Lines(double shiftLenHours) const {
    std::string lines;
    for (const auto& [day, sum] : sums_.Days()) {
        const auto exposure = sum.Result(shiftLenHours);
        if (!exposure)
            continue;  // minutes that cover no time (not made by the display)
        AppendField(lines, FormatDate(day.first));
        AppendField(lines, CsvField(day.second));
        AppendField(lines, CsvField(exposure->Weighting));
        lines += FormatHoursMinutes(exposure->Seconds);
        for (double level : {exposure->Leq, exposure->Lex8h, exposure->DosePercent, exposure->Lmax}) {
            lines += ',';
            lines += FormatTenths(level);
        }
        lines += "\r\n";
    }
    return lines;
}

std::string ShiftCsvLine(const std::string& host, const ShiftFigures& figures, const ShiftUncertainty& uncertainty) {
    std::string line;
    AppendField(line, FormatDate(figures.Window.Date));
    AppendField(line, ShiftHours(figures.Window.Hours));
    AppendField(line, CsvField(host));
    AppendField(line, FormatHoursMinutes(figures.DurationSeconds));
    AppendField(line, FormatHoursMinutes(figures.MeasuredSeconds));
    AppendField(line, std::to_string(figures.CoveragePercent));
    for (double level : {figures.Laeq, figures.Lex8h, figures.DosePercent, figures.Lmax, figures.LoudestLeq})
        AppendField(line, FormatTenths(level));
    AppendField(line, figures.MeasuredSeconds > 0.0 ? FormatLocalTime(figures.LoudestStart) : "");
    AppendField(line, std::to_string(figures.MinutesAbove85));
    AppendField(line, CsvField(figures.Verdict()));
    AppendField(line, CsvField(figures.OtherWeightings()));
    AppendField(line, std::to_string(uncertainty.N));
    for (double figure :
         {uncertainty.Lex8h, uncertainty.U1, uncertainty.C1U1, uncertainty.U2, uncertainty.U3, uncertainty.ExpandedU})
        AppendField(line, FormatTenths(figure));
    const std::string reach = uncertainty.ReachText();
    AppendField(line, CsvField(uncertainty.Text() + (reach.empty() ? "" : "; " + reach)));
    return line + figures.State() + "\r\n";
}

std::string ShiftCsvLines(const ShiftSums& sums, const std::vector<DatedPattern>& patterns, int meterClass) {
    HostShifts shifts = ShiftsByHost(sums);
    std::map<std::string, std::vector<ShiftUncertainty>> uncertainties;
    for (const auto& [host, figures] : shifts.Hosts)
        uncertainties[host] = UncertaintiesOf(patterns, figures, meterClass);
    std::string lines;
    for (const auto& [host, index] : shifts.Order) {
        const ShiftFigures& figures = shifts.Hosts[host][index];
        lines += ShiftCsvLine(host, figures, UncertaintyOfHours(uncertainties[host], figures.Window.Hours));
    }
    return lines;
}

std::string WeekCsvLines(const ShiftSums& sums) {
    std::vector<std::pair<WeeklyLevel, std::string>> weeks;
    for (const auto& [host, figures] : ShiftsByHost(sums).Hosts)
        for (const WeeklyLevel& level : WeeklyLevelsOf(figures))
            weeks.emplace_back(level, host);
    std::stable_sort(weeks.begin(), weeks.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first.Week, a.first.Hours.Start) < std::tie(b.first.Week, b.first.Hours.Start);
    });
    std::string lines;
    for (const auto& [level, host] : weeks) {
        AppendField(lines, FormatIsoWeek(level.Week));
        AppendField(lines, ShiftHours(level.Hours));
        AppendField(lines, CsvField(host));
        AppendField(lines, std::to_string(level.Judged));
        AppendField(lines, std::to_string(level.NotJudged));
        AppendField(lines, FormatTenths(level.LexW));
        lines += level.Verdict() + "\r\n";
    }
    return lines;
}
