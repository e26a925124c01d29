#pragma once
// The figures of one shift as a safety officer files them (ISO 9612's reckoning of a shift's
// exposure, judged against the action values of Directive 2003/10/EC), the same for the
// report, the CSV and the wall's history screen:
//   Te        the shift's real duration that day (an hour more or less over a clock change)
//   measured  the A-weighted time covered; coverage = measured / Te
//   LAeq      the energy mean over the measured A-weighted time
//   LEX,8h    LAeq + 10 lg(Te / 8 h): the unmeasured time taken at the measured LAeq
//   dose      100 x 10^((LEX,8h - 85) / 10) %, 8 h at 85 dB(A) being 100 %
// Minutes of another weighting are counted apart and never added to these. The action band
// is given only when at least 80 % of the shift was measured A-weighted. One figure has one
// verdict: the dose, the band and the coverage are worked out from the LEX,8h and the times
// as printed (exposure/printed_figures.h), so a printed 85.0 is a dose of 100.0 % and a printed
// 6:24 of 8:00 is 80 %.
// A shift not ended at the moment the figures are taken is under way: its figures so far (Te
// the time since it began), and no LEX,8h, no dose and no band, since the rest of it is still
// to come.

#include "exposure/action_values.h"
#include "exposure/minute_row.h"
#include "exposure/shift_pattern.h"

#include <cstdint>
#include <limits>
#include <map>
#include <span>
#include <string>

inline constexpr double JudgedCoveragePercent = 80.0;

struct ShiftFigures {
    ShiftWindow Window;
    double DurationSeconds = 0.0;  // Te
    double MeasuredSeconds = 0.0;  // A-weighted
    int CoveragePercent = 0;       // whole per cent of Te measured, as printed, rounded down
    // NaN (printed empty) when no A-weighted minute covers any time.
    double Laeq = std::numeric_limits<double>::quiet_NaN();
    double Lex8h = std::numeric_limits<double>::quiet_NaN();
    double DosePercent = std::numeric_limits<double>::quiet_NaN();
    double Lmax = std::numeric_limits<double>::quiet_NaN();        // the highest A-weighted minute's Lmax
    double LoudestLeq = std::numeric_limits<double>::quiet_NaN();  // the loudest A-weighted minute
    std::int64_t LoudestStart = 0;
    int MinutesAbove85 = 0;  // A-weighted minutes whose Leq is above 85 dB(A)
    // Covered seconds of each other weighting ("dBC", "dBz", "---").
    std::map<std::string, double> OtherSeconds;
    ActionBand Band = ActionBand::None;  // None: not judged (see Verdict)
    bool UnderWay = false;

    // "ended" or "under way".
    const char* State() const { return UnderWay ? "under way" : "ended"; }

    // The dose of the measured time alone, as if the rest of the shift were silent: the dose
    // used so far in a shift under way (NaN without A-weighted minutes).
    double DoseUsedPercent() const;
    // The band's name, "under way", or "not judged: 62 % of the shift measured", or "not judged: no
    // A-weighted minutes" ("not judged: nothing measured" when there are no minutes at all).
    std::string Verdict() const;
    // "47 min C-weighted, not judged" for each other weighting, "; " between them; empty when none.
    std::string OtherWeightings() const;
};

// The running sums of one shift's minutes, taken one at a time.
class ShiftSum {
public:
    // The figures are taken at `now` (UTC seconds): by default once the shift has ended.
    explicit ShiftSum(const ShiftWindow& window, std::int64_t now = NeverUnderWay) : window_(window), now_(now) {}

    // Adds a minute of the shift (From <= start < To; the caller sees to that); one whose
    // level or covered time is not a finite number is left out, as if it had not been recorded.
    void Add(const MinuteRow& row);
    ShiftFigures Figures() const;

    static constexpr std::int64_t NeverUnderWay = std::numeric_limits<std::int64_t>::max();

private:
    ShiftWindow window_;
    std::int64_t now_;
    double seconds_ = 0.0;
    double energy_ = 0.0;  // sum of seconds x 10^((leq - 85) / 10): near 1 around the criterion
    double lmax_ = -std::numeric_limits<double>::infinity();
    double loudestLeq_ = -std::numeric_limits<double>::infinity();
    std::int64_t loudestStart_ = 0;
    int above85_ = 0;
    std::map<std::string, double> other_;
};

// The figures of the shift `window` from `rows`, of which those within it count, taken at `now`.
ShiftFigures FiguresOfShift(const ShiftWindow& window, std::span<const MinuteRow> rows,
                            std::int64_t now = ShiftSum::NeverUnderWay);

// "14:37" of a moment, and "02:37+01:00" in an hour the clocks show twice.
std::string ShiftClock(std::int64_t utcSeconds);
