#include "exposure/weekly_levels.h"

#include "exposure/acoustics.h"
#include "exposure/printed_figures.h"

#include <map>
#include <tuple>

namespace {

constexpr double NominalDaysPerWeek = 5.0;

struct WeekSum {
    WeeklyLevel Level;
    double Energy = 0.0;  // Σ 10^(0.1 (LEX,8h - 85)), of the LEX,8h values as printed
};

}  // namespace

std::string WeeklyLevel::Verdict() const {
    if (NotJudged > 0)
        return "not judged: " + std::to_string(NotJudged) + (NotJudged == 1 ? " shift" : " shifts") + " not judged";
    return Band != ActionBand::None ? ActionBandName(Band) : "not judged: nothing judged";
}

std::vector<WeeklyLevel> WeeklyLevelsOf(std::span<const ShiftFigures> shifts) {
    std::map<std::tuple<IsoWeek, int, int>, WeekSum> weeks;  // by the week, the shift's start and length
    for (const ShiftFigures& shift : shifts) {
        if (!(shift.MeasuredSeconds > 0.0) && shift.OtherSeconds.empty())
            continue;  // not worked
        const IsoWeek week = IsoWeekOf(shift.Window.Date);
        WeekSum& sum = weeks[{week, shift.Window.Hours.Start, shift.Window.Hours.Length}];
        sum.Level.Week = week;
        sum.Level.Hours = shift.Window.Hours;
        if (shift.Band == ActionBand::None) {
            ++sum.Level.NotJudged;
            continue;
        }
        ++sum.Level.Judged;
        sum.Energy += LevelEnergy(PrintedTenths(shift.Lex8h) - DoseCriterionLevel);
    }
    std::vector<WeeklyLevel> levels;
    for (auto& [key, sum] : weeks) {
        WeeklyLevel& level = sum.Level;
        if (level.Judged > 0)
            level.LexW = DoseCriterionLevel + EnergyLevel(sum.Energy / NominalDaysPerWeek);
        if (level.Judged > 0 && level.NotJudged == 0)
            level.Band = ActionBandOf("dBA", level.LexW);
        levels.push_back(level);
    }
    return levels;
}
