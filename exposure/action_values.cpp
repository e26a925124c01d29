#include "exposure/action_values.h"

#include "exposure/printed_figures.h"

#include <cmath>

namespace {

constexpr double LowerActionValue = 80.0;
constexpr double UpperActionValue = 85.0;
constexpr double ExposureLimitValue = 87.0;

}  // namespace

ActionBand ActionBandOf(std::string_view weighting, double lex8h) {
    const double value = PrintedTenths(lex8h);
    if (weighting != "dBA" || !std::isfinite(value))
        return ActionBand::None;
    if (value >= ExposureLimitValue)
        return ActionBand::Limit;
    if (value >= UpperActionValue)
        return ActionBand::Upper;
    return value >= LowerActionValue ? ActionBand::Lower : ActionBand::BelowLower;
}

std::string ActionBandName(ActionBand band) {
    switch (band) {
    case ActionBand::None:
        return {};
    case ActionBand::BelowLower:
        return "below the lower action value";
    case ActionBand::Lower:
        return "at or above the lower action value";
    case ActionBand::Upper:
        return "at or above the upper action value";
    case ActionBand::Limit:
        return "87 dB(A) or more before hearing protection";  // the limit value is judged at the ear
    }
    return {};
}
