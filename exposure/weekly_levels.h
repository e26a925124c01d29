#pragma once
// The weekly noise exposure level of Directive 2003/10/EC (Article 2(c)), as ISO 1999 defines
// it: over the m shifts of one name worked in an ISO week,
//   LEX,w = 10 lg((1/5) Σ 10^(0.1 LEX,8h,i)),   i = 1 .. m
// the nominal week being five 8-hour days, so that four days at 87 dB(A) are 86.0 and five 85.0.
// It is judged against the same action values as a LEX,8h, and only when every shift of the
// week that holds minutes was judged: a week with a shift measured too little, or under way,
// says so and gets no band. A shift without any minute counts as not worked.

#include "exposure/action_values.h"
#include "exposure/local_days.h"
#include "exposure/shift_figures.h"

#include <limits>
#include <span>
#include <string>
#include <vector>

struct WeeklyLevel {
    IsoWeek Week;
    Shift Hours;
    int Judged = 0;                                          // ended, judged shifts: the LEX,8h values summed
    int NotJudged = 0;                                       // shifts with minutes but no band (under way among them)
    double LexW = std::numeric_limits<double>::quiet_NaN();  // NaN without a judged shift
    ActionBand Band = ActionBand::None;

    // The band's name, "not judged: 1 shift not judged" or "not judged: nothing judged".
    std::string Verdict() const;
};

// The weekly levels of `shifts` (of one meter), in the order of the weeks and then of the
// shifts' starts: only weeks in which a shift of that name holds minutes.
std::vector<WeeklyLevel> WeeklyLevelsOf(std::span<const ShiftFigures> shifts);
