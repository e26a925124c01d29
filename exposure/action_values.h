#pragma once
// A LEX,8h against the action values of Directive 2003/10/EC: lower action value
// 80 dB(A), upper action value 85 dB(A), exposure limit value 87 dB(A). Judged on the LEX,8h
// as printed (one decimal), so that a page never shows 80.0 under "below the lower action
// value"; a value that reaches an action value counts as at it.

#include <string>
#include <string_view>

enum class ActionBand {
    None,  // not A-weighted: the action values do not apply
    BelowLower,
    Lower,
    Upper,
    Limit,
};

ActionBand ActionBandOf(std::string_view weighting, double lex8h);

// "the lower action value", "the upper action value" or "87 dB(A) before hearing protection":
// the value a band starts at; empty for None and BelowLower.
std::string ActionValueName(ActionBand band);

// "below the lower action value", "at or above the upper action value", ...; for the exposure
// limit value, which the Directive judges at the ear with hearing protection taken into
// account, "87 dB(A) or more before hearing protection"; empty for None.
std::string ActionBandName(ActionBand band);
