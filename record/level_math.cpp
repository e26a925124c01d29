#include "record/level_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

// Sum of seconds x 10^((leq - reference)/10): the covered time's energy relative to a level,
// so that a dose near 100 % is summed without large powers of ten.
double SecondsEnergy(std::span<const MinuteRow> rows, double reference) {
    double sum = 0.0;
    for (const MinuteRow& row : rows)
        sum += row.Seconds * LevelEnergy(row.Leq - reference);
    return sum;
}

double TotalSeconds(std::span<const MinuteRow> rows) {
    double seconds = 0.0;
    for (const MinuteRow& row : rows)
        seconds += row.Seconds;
    return seconds;
}

std::string JoinedWeightings(std::span<const MinuteRow> rows) {
    std::string joined;
    std::string seen = "+";  // every weighting seen so far, each between two '+'
    for (const MinuteRow& row : rows) {
        if (seen.find("+" + row.Weighting + "+") != std::string::npos)
            continue;
        seen += row.Weighting + "+";
        joined += (joined.empty() ? "" : "+") + row.Weighting;
    }
    return joined;
}

}  // namespace

double LevelEnergy(double level) {
    return std::pow(10.0, level / 10.0);
}

double EnergyLevel(double energy) {
    return 10.0 * std::log10(energy);
}

std::int64_t MinuteStart(std::int64_t utcSeconds) {
    const std::int64_t rest = utcSeconds % SecondsPerMinute;
    return utcSeconds - (rest < 0 ? rest + SecondsPerMinute : rest);
}

double CoveredLeq(std::span<const MinuteRow> rows) {
    const double seconds = TotalSeconds(rows);
    if (!(seconds > 0.0))
        return NotANumber;
    return EnergyLevel(SecondsEnergy(rows, 0.0) / seconds);
}

double Lex8h(std::span<const MinuteRow> rows) {
    return EnergyLevel(SecondsEnergy(rows, 0.0) / Lex8hSeconds);
}

double DosePercent(std::span<const MinuteRow> rows, double shiftLenHours) {
    if (!(shiftLenHours > 0.0) || !std::isfinite(shiftLenHours))
        return NotANumber;
    return 100.0 * SecondsEnergy(rows, DoseCriterionLevel) / (shiftLenHours * 3600.0);
}

std::optional<Exposure> SummarizeExposure(std::span<const MinuteRow> rows, double shiftLenHours) {
    Exposure exposure;
    exposure.Seconds = TotalSeconds(rows);
    if (!(exposure.Seconds > 0.0))
        return std::nullopt;
    exposure.Leq = CoveredLeq(rows);
    exposure.Lex8h = Lex8h(rows);
    exposure.DosePercent = DosePercent(rows, shiftLenHours);
    const auto loudest = std::max_element(rows.begin(), rows.end(),
                                          [](const MinuteRow& a, const MinuteRow& b) { return a.Leq < b.Leq; });
    exposure.LoudestLeq = loudest->Leq;
    exposure.LoudestStart = loudest->Start;
    exposure.Weighting = JoinedWeightings(rows);
    return exposure;
}
