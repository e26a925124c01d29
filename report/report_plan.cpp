#include "report/report_plan.h"

#include <set>

namespace {

MeterReport MakeMeterReport(const DailySums& sums, const std::string& host, const LocalDate& from, const LocalDate& to,
                            double shiftLenHours) {
    MeterReport meter{host, {}, false, {}};
    std::set<std::string> weightings;
    std::optional<std::size_t> highest;  // the index of the day
    for (LocalDate date = from; date <= to; date = NextDate(date)) {
        DayFigures& day = meter.Days.emplace_back(DayFigures{date, std::nullopt, ActionBand::None, false});
        const auto found = sums.Days().find({date, host});
        if (found != sums.Days().end())
            day.Figures = found->second.Result(shiftLenHours);
        if (!day.Figures)
            continue;
        meter.AnyMinutes = true;
        day.Band = ActionBandOf(day.Figures->Weighting, day.Figures->Lex8h);
        if (weightings.insert(day.Figures->Weighting).second)
            meter.Weightings += (meter.Weightings.empty() ? "" : ", ") + day.Figures->Weighting;
        if (!highest || day.Figures->Lex8h > meter.Days[*highest].Figures->Lex8h)
            highest = meter.Days.size() - 1;
    }
    if (highest)
        meter.Days[*highest].HighestLex = true;
    return meter;
}

}  // namespace

ReportPlan MakeReportPlan(const DailySums& sums, const std::optional<std::string>& host, const LocalDate& from,
                          const LocalDate& to, double shiftLenHours) {
    ReportPlan plan{from, to, shiftLenHours, {}, {}};
    std::set<std::string> hosts;
    if (host)
        hosts.insert(*host);
    else
        for (const auto& [key, sum] : sums.Days())
            hosts.insert(key.second);
    for (const std::string& name : hosts)
        plan.Meters.push_back(MakeMeterReport(sums, name, from, to, shiftLenHours));
    return plan;
}
