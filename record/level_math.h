#pragma once
// The arithmetic of the exposure record: energy means of sound levels, the minutes' start,
// and a period's exposure (Leq over the covered time, LEX,8h, noise dose).
//
// Levels add as energies: a level L dB stands for 10^(L/10). The dose reckons a whole shift
// at 85 dB as 100 %, as the display's time to the limit does.

#include "record/minute_row.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

inline constexpr double DoseCriterionLevel = 85.0;
inline constexpr double Lex8hSeconds = 8 * 3600.0;
inline constexpr std::int64_t SecondsPerMinute = 60;

// 10^(level/10), and back: 10 log10(energy) (minus infinity for 0).
double LevelEnergy(double level);
double EnergyLevel(double energy);

// The start of the minute that holds `utcSeconds`: the multiple of 60 at or before it.
std::int64_t MinuteStart(std::int64_t utcSeconds);

// Over minutes of one host, each weighted by its covered seconds:
// the energy mean over the covered time (NaN when nothing is covered);
double CoveredLeq(std::span<const MinuteRow> rows);
// 10 log10(sum of seconds x 10^(leq/10) / 28800) (minus infinity when nothing is covered);
double Lex8h(std::span<const MinuteRow> rows);
// 100 x sum of seconds x 10^((leq - 85)/10) / (shiftLenHours x 3600); NaN for a shift that
// is not a positive number of hours.
double DosePercent(std::span<const MinuteRow> rows, double shiftLenHours);

// What one period of one host's record comes to.
struct Exposure {
    double Seconds = 0.0;  // covered time
    double Leq = 0.0;
    double Lex8h = 0.0;
    double DosePercent = 0.0;
    double LoudestLeq = 0.0;  // the loudest minute's Leq, and its start
    std::int64_t LoudestStart = 0;
    // The minutes' weighting, or when they differ, each one they have in order of first
    // appearance joined by "+" ("dBA+dBC").
    std::string Weighting;
};

// Nothing when no minute covers any time.
std::optional<Exposure> SummarizeExposure(std::span<const MinuteRow> rows, double shiftLenHours);
