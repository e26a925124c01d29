#pragma once
// How sure a shift's LEX,8h is, as ISO 9612 reckons it for the full-day strategy: over the
// N ended, judged shifts of one name in a period,
//   LEX,8h  the energy mean of their LEX,8h values
//   u1      the standard deviation of those values (the sampling spread)
//   c1·u1   the sampling contribution, from the standard's table for N and u1
//   u2      the instrument: 0.7 dB for a class 1 meter, 1.5 dB for class 2 (IEC 61672-1)
//   u3      the microphone's position, 1.0 dB
//   u       = sqrt((c1·u1)² + u2² + u3²), and the expanded uncertainty U = 1.65·u
// A fixed area meter stands farther from a worker's ear than the standard's positions, so U is
// a lower bound for a person. The figures are reckoned from the LEX,8h values as printed.

#include "exposure/action_values.h"
#include "exposure/shift_figures.h"

#include <limits>
#include <span>
#include <string>
#include <vector>

// The meter's class under IEC 61672-1: 1, 2, or 0 when not stated (then reckoned as class 2).
inline constexpr int MeterClassNotStated = 0;

// The fewest shifts the full-day strategy takes.
inline constexpr int FewestShiftsForUncertainty = 3;

struct ShiftUncertainty {
    Shift Hours;
    int MeterClass = MeterClassNotStated;
    int N = 0;
    double Lex8h = std::numeric_limits<double>::quiet_NaN();  // NaN without any shift
    double U1 = std::numeric_limits<double>::quiet_NaN();     // NaN below FewestShiftsForUncertainty
    double C1U1 = std::numeric_limits<double>::quiet_NaN();   // NaN also when u1 is past the table
    double U2 = 0.0;
    double U3 = 1.0;
    double StandardU = std::numeric_limits<double>::quiet_NaN();  // u
    double ExpandedU = std::numeric_limits<double>::quiet_NaN();  // U
    ActionBand Band = ActionBand::None;                           // of the mean LEX,8h, as printed
    ActionBand Reach = ActionBand::None;                          // of LEX,8h + U, as printed, when higher than Band

    // "LEX,8h 86.2 dB(A), U 2.3 dB (N = 21)", with "; meter class not stated, reckoned as
    // class 2" inside the brackets when it is so; "too few shifts for an uncertainty (2 of 3)";
    // "no uncertainty: the shifts spread too widely (u1 6.4 dB)".
    std::string Text() const;
    // "may reach the upper action value within its uncertainty", or empty.
    std::string ReachText() const;
};

// The sampling contribution c1·u1 in dB for N shifts of standard deviation u1 dB, from ISO
// 9612's table, interpolated in N and in u1; NaN for N below 3 or u1 above 6 dB.
double SamplingContribution(int n, double u1);

// The uncertainty of shifts of `hours` whose LEX,8h values are `lex8h` (as printed).
ShiftUncertainty UncertaintyOf(const Shift& hours, std::span<const double> lex8h, int meterClass);

// One for each shift of `patterns` (the same hours once, in order), over the ended, judged
// shifts in `shifts` of its hours.
std::vector<ShiftUncertainty> UncertaintiesOf(const std::vector<DatedPattern>& patterns,
                                              std::span<const ShiftFigures> shifts, int meterClass);

// The uncertainty of the shifts of `hours` among `uncertainties`.
const ShiftUncertainty& UncertaintyOfHours(const std::vector<ShiftUncertainty>& uncertainties, const Shift& hours);
