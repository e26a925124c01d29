#pragma once
// The sound exposure counters of the monitor state: each good poll stands for the polling
// interval that follows it (or longer, when it overran), at the level shown, as the exposure
// record counts it.

#include "monitor/monitor_state.h"

// Adds `seconds` of the shown `level` in `weighting` to the counters of the state's
// CountedHost in that weighting, made at 0 when it has none yet.
void CountExposure(MonitorState& state, const char* weighting, double level, double seconds);
