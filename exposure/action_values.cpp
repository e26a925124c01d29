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

std::string ActionValueName(ActionBand band) {
    switch (band) {
    case ActionBand::Lower:
        return "the lower action value";
    case ActionBand::Upper:
        return "the upper action value";
    case ActionBand::Limit:
        return "87 dB(A) before hearing protection";
    default:
        return {};
    }
}

std::string ActionBandName(ActionBand band) {
    switch (band) {
    case ActionBand::None:
        return {};
    case ActionBand::BelowLower:
        return "below " + ActionValueName(ActionBand::Lower);
    case ActionBand::Limit:
        // The exposure limit value itself is judged at the ear, with hearing protection taken
        // into account; an area's level before protection can only be compared with its number.
        return "87 dB(A) or more before hearing protection";
    default:
        return "at or above " + ActionValueName(band);
    }
}
