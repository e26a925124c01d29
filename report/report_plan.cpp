#include "report/report_plan.h"

#include "exposure/printed_figures.h"
#include "exposure/shift_sums.h"

#include <cmath>
#include <set>

namespace {

// Every shift of the period, the figures of those without minutes too.
std::vector<ShiftFigures> ShiftsOf(const ShiftSums& sums, const std::string& host) {
    std::vector<ShiftFigures> shifts;
    for (std::size_t index = 0; index < sums.Windows().size(); ++index)
        shifts.push_back(sums.Figures(index, host));
    return shifts;
}

// The judged shift with the highest LEX,8h as printed; the first of equals.
std::optional<std::size_t> HighestJudged(const std::vector<ShiftFigures>& shifts) {
    std::optional<std::size_t> highest;
    for (std::size_t index = 0; index < shifts.size(); ++index) {
        if (shifts[index].Band != ActionBand::None &&
            (!highest || PrintedTenths(shifts[index].Lex8h) > PrintedTenths(shifts[*highest].Lex8h)))
            highest = index;
    }
    return highest;
}

}  // namespace

std::string FormatOffset(int decibels) {
    return (decibels > 0 ? "+" : "") + std::to_string(decibels) + " dB";
}

std::optional<ReportPlan> MakeReportPlan(LevelReader& reader, const std::optional<std::string>& host,
                                         const LocalDate& from, const LocalDate& to,
                                         const std::vector<DatedPattern>& patterns, std::int64_t now, int meterClass) {
    ReportPlan plan{from, to, patterns, meterClass, {}};
    // One pass over the period's minutes, and those of the last day's shift that ends the next day.
    ShiftSums sums(patterns, from, to, now);
    const std::int64_t start = LocalDayStart(from);
    const std::int64_t end = std::max(LocalDayStart(NextDate(to)), sums.To());
    std::set<std::string> seen;  // the hosts with minutes
    if (!reader.ForEachMinute({host, start, end}, [&](const MinuteRow& row) {
            sums.Add(row);
            seen.insert(row.Host);
            return true;
        }))
        return std::nullopt;
    std::set<std::string> hosts = seen;
    if (host)
        hosts.insert(*host);
    for (const std::string& name : hosts) {
        MeterReport& meter = plan.Meters.emplace_back();
        meter.Host = name;
        const auto periods = reader.ReadMeters(name, start, end);
        if (!periods)
            return std::nullopt;
        meter.Names = HeldValues(*periods, [](const MeterRow& row) { return row.Name; });
        meter.Locations = HeldValues(*periods, [](const MeterRow& row) { return row.Location; });
        meter.Offsets = HeldValues(*periods, [](const MeterRow& row) { return FormatOffset(row.LevelOffset); });
        meter.Shifts = ShiftsOf(sums, name);
        meter.Uncertainties = UncertaintiesOf(patterns, meter.Shifts, meterClass);
        meter.Weeks = WeeklyLevelsOf(meter.Shifts);
        meter.Highest = HighestJudged(meter.Shifts);
        meter.AnyMinutes = seen.contains(name);
    }
    return plan;
}

std::vector<ShiftFigures> ShiftsOfDay(const MeterReport& meter, const LocalDate& date) {
    std::vector<ShiftFigures> day;
    for (const ShiftFigures& shift : meter.Shifts)
        if (shift.Window.Date == date)
            day.push_back(shift);
    return day;
}
