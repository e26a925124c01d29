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
        return "the exposure limit value";
    default:
        return {};
    }
}

std::string ActionBandName(ActionBand band) {
    if (band == ActionBand::None)
        return {};
    return band == ActionBand::BelowLower ? "below " + ActionValueName(ActionBand::Lower)
                                          : "at or above " + ActionValueName(band);
}
