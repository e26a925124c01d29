#pragma once
// The sound exposure counters of the monitor state: each good poll stands for the polling
// interval that follows it, at the level shown, as the exposure record counts it.

#include "monitor/monitor_state.h"

// p0² with p0 = 20 µPa, the reference of the decibel scale, in Pa².
inline constexpr double ReferencePressureSquared = 4e-10;

// p0² · 10^(level/10) · seconds, in Pa²s.
double SoundExposure(double level, double seconds);

// Adds one good poll of the shown `level` standing for `seconds` to the state's counters. A
// weighting other than the one counted so far starts them again at 0: a sum of A- and
// C-weighted exposure would mean nothing.
void CountExposure(MonitorState& state, const char* weighting, double level, double seconds);
