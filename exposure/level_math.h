#pragma once
// The arithmetic of the exposure record: energy means of sound levels, the minutes' start,
// and a period's exposure (Leq over the covered time, LEX,8h, noise dose). The dose reckons a
// whole shift at DoseCriterionLevel as 100 %, as the display's time to the limit does.

#include "exposure/acoustics.h"
#include "exposure/minute_row.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

inline constexpr double Lex8hSeconds = 8 * 3600.0;
inline constexpr std::int64_t SecondsPerMinute = 60;

// The start of the minute that holds `utcSeconds`: the multiple of 60 at or before it.
std::int64_t MinuteStart(std::int64_t utcSeconds);

// What one period of one host's record comes to.
struct Exposure {
    double Seconds = 0.0;  // covered time
    double Leq = 0.0;
    double Lex8h = 0.0;
    double DosePercent = 0.0;
    double LoudestLeq = 0.0;  // the loudest minute's Leq, and its start
    std::int64_t LoudestStart = 0;
    // The loudest level: the highest of the minutes' Lmax (minus infinity when none is a number).
    double Lmax = 0.0;
    // The minutes' weighting, or when they differ, each one they have in order of first
    // appearance joined by "+" ("dBA+dBC").
    std::string Weighting;
};

// The sums over minutes of one host, each minute weighted by its covered seconds, taken one
// minute at a time so that a long period's minutes need not be kept.
class ExposureSum {
public:
    void Add(const MinuteRow& row);

    double Seconds() const { return seconds_; }
    // The energy mean over the covered time (NaN when nothing is covered).
    double Leq() const;
    // 10 log10(sum of seconds x 10^(leq/10) / 28800) (minus infinity when nothing is covered).
    double Lex8h() const;
    // 100 x sum of seconds x 10^((leq - 85)/10) / (shiftLenHours x 3600); NaN for a shift
    // that is not a positive number of hours.
    double DosePercent(double shiftLenHours) const;
    // Nothing when no minute covers any time.
    std::optional<Exposure> Result(double shiftLenHours) const;

private:
    double seconds_ = 0.0;
    double energy_ = 0.0;      // sum of seconds x 10^(leq/10)
    double doseEnergy_ = 0.0;  // the same relative to 85 dB, so that a dose near 100 % is
                               // summed without large powers of ten
    bool empty_ = true;
    double loudestLeq_ = 0.0;
    std::int64_t loudestStart_ = 0;
    double lmax_ = -std::numeric_limits<double>::infinity();
    std::string weighting_;
};
