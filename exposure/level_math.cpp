#include "exposure/level_math.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

// Whether `joined` ("dBA+dBC") has `part` as one of its parts; without a copy, since it is
// asked for each minute of a long period.
bool HasPart(std::string_view joined, std::string_view part) {
    for (std::size_t at = joined.find(part); at != std::string_view::npos; at = joined.find(part, at + 1)) {
        const std::size_t end = at + part.size();
        if ((at == 0 || joined[at - 1] == '+') && (end == joined.size() || joined[end] == '+'))
            return true;
    }
    return false;
}

}  // namespace

std::int64_t MinuteStart(std::int64_t utcSeconds) {
    const std::int64_t rest = utcSeconds % SecondsPerMinute;
    return utcSeconds - (rest < 0 ? rest + SecondsPerMinute : rest);
}

void ExposureSum::Add(const MinuteRow& row) {
    seconds_ += row.Seconds;
    energy_ += row.Seconds * LevelEnergy(row.Leq);
    doseEnergy_ += row.Seconds * LevelEnergy(row.Leq - DoseCriterionLevel);
    if (empty_ || row.Leq > loudestLeq_) {
        loudestLeq_ = row.Leq;
        loudestStart_ = row.Start;
    }
    empty_ = false;
    lmax_ = std::max(lmax_, row.Lmax);  // a NaN Lmax leaves it as it was
    if (!HasPart(weighting_, row.Weighting))
        weighting_ += (weighting_.empty() ? "" : "+") + row.Weighting;
}

double ExposureSum::Leq() const {
    return seconds_ > 0.0 ? EnergyLevel(energy_ / seconds_) : NotANumber;
}

double ExposureSum::Lex8h() const {
    return EnergyLevel(energy_ / Lex8hSeconds);
}

double ExposureSum::DosePercent(double shiftLenHours) const {
    if (!(shiftLenHours > 0.0) || !std::isfinite(shiftLenHours))
        return NotANumber;
    return 100.0 * doseEnergy_ / (shiftLenHours * 3600.0);
}

std::optional<Exposure> ExposureSum::Result(double shiftLenHours) const {
    if (!(seconds_ > 0.0))
        return std::nullopt;
    return Exposure{seconds_,    Leq(),         Lex8h(), DosePercent(shiftLenHours),
                    loudestLeq_, loudestStart_, lmax_,   weighting_};
}
