#pragma once
// The acoustic constants and the energy of a level, in one place for the display's time to the
// limit, the exposure record and the metrics counters, so that they cannot drift apart.
//
// Levels add as energies: a level L dB stands for 10^(L/10), and for a sound exposure of
// p0² · 10^(L/10) · t in Pa²s over t seconds.

// The level at which a whole shift uses up the safe dose (100 %), in dB.
inline constexpr double DoseCriterionLevel = 85.0;

// p0² with p0 = 20 µPa, the reference of the decibel scale, in Pa².
inline constexpr double ReferencePressureSquared = 4e-10;

// 10^(level/10), and back: 10 log10(energy) (minus infinity for 0).
double LevelEnergy(double level);
double EnergyLevel(double energy);

// p0² · 10^(level/10) · seconds, in Pa²s.
double SoundExposure(double level, double seconds);
