#include "exposure/shift_figures.h"

#include "exposure/acoustics.h"
#include "exposure/level_math.h"
#include "exposure/printed_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char* WeightingName(const std::string& weighting) {
    if (weighting == "dBC")
        return "C-weighted";
    if (weighting == "dBz" || weighting == "dBZ")
        return "Z-weighted";
    return nullptr;
}

}  // namespace

void ShiftSum::Add(const MinuteRow& row) {
    // A minute whose level or time is no number (not one the display wrote) counts as unrecorded.
    if (!(row.Seconds > 0.0) || !std::isfinite(row.Seconds) || !std::isfinite(row.Leq))
        return;
    if (row.Weighting != "dBA") {
        other_[row.Weighting] += row.Seconds;
        return;
    }
    seconds_ += row.Seconds;
    energy_ += row.Seconds * LevelEnergy(row.Leq - DoseCriterionLevel);
    lmax_ = std::max(lmax_, row.Lmax);  // a NaN Lmax leaves it as it was
    if (row.Leq > loudestLeq_) {
        loudestLeq_ = row.Leq;
        loudestStart_ = row.Start;
    }
    above85_ += row.Leq > DoseCriterionLevel;
}

ShiftFigures ShiftSum::Figures() const {
    ShiftFigures figures;
    figures.Window = window_;
    figures.UnderWay = now_ < window_.To;
    figures.DurationSeconds = static_cast<double>(std::min(now_, window_.To) - window_.From);
    figures.MeasuredSeconds = seconds_;
    figures.OtherSeconds = other_;
    figures.MinutesAbove85 = above85_;
    figures.CoveragePercent = PrintedPercent(seconds_, figures.DurationSeconds);
    if (!(seconds_ > 0.0))
        return figures;
    figures.Laeq = DoseCriterionLevel + EnergyLevel(energy_ / seconds_);
    if (std::isfinite(lmax_))
        figures.Lmax = lmax_;
    figures.LoudestLeq = loudestLeq_;
    figures.LoudestStart = loudestStart_;
    if (figures.UnderWay)
        return figures;
    figures.Lex8h = figures.Laeq + 10.0 * std::log10(figures.DurationSeconds / Lex8hSeconds);
    figures.DosePercent = 100.0 * LevelEnergy(PrintedTenths(figures.Lex8h) - DoseCriterionLevel);
    if (figures.CoveragePercent >= JudgedCoveragePercent)
        figures.Band = ActionBandOf("dBA", figures.Lex8h);
    return figures;
}

double ShiftFigures::DoseUsedPercent() const {
    // From the LAeq itself, not the printed LEX,8h: the wall's figure is its own, unprinted one.
    return 100.0 * LevelEnergy(Laeq - DoseCriterionLevel) * MeasuredSeconds / Lex8hSeconds;
}

std::string ShiftFigures::Verdict() const {
    if (Band != ActionBand::None)
        return ActionBandName(Band);
    if (UnderWay)
        return "under way";
    if (!(MeasuredSeconds > 0.0))
        return OtherSeconds.empty() ? "not judged: nothing measured" : "not judged: no A-weighted minutes";
    return "not judged: " + std::to_string(CoveragePercent) + " % of the shift measured";
}

std::string ShiftFigures::OtherWeightings() const {
    std::string text;
    for (const auto& [weighting, seconds] : OtherSeconds) {
        const char* name = WeightingName(weighting);
        text += (text.empty() ? "" : "; ") + std::to_string(std::llround(seconds / 60.0)) + " min " +
                (name != nullptr ? name : "of weighting \"" + weighting + "\"") + ", not judged";
    }
    return text;
}

ShiftFigures FiguresOfShift(const ShiftWindow& window, std::span<const MinuteRow> rows, std::int64_t now) {
    ShiftSum sum(window, now);
    for (const MinuteRow& row : rows) {
        if (row.Start >= window.From && row.Start < window.To)
            sum.Add(row);
    }
    return sum.Figures();
}

std::string ShiftClock(std::int64_t utcSeconds) {
    const LocalMoment local = LocalMomentOf(utcSeconds);
    const std::string text = FormatTimeOfDay(local);
    if (!LocalTimeRepeats(utcSeconds))
        return text;
    const long offset = std::labs(local.OffsetSeconds) / 60;
    char zone[48];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", local.OffsetSeconds < 0 ? '-' : '+', offset / 60, offset % 60);
    return text + zone;
}
