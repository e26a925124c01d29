#pragma once
// How long one may stay at a sound level before a shift's safe noise dose is used up.

#include <string>

// "%dh %dm" while the limit falls within the shift, "> %dh %dm" (the shift length) when it
// lies beyond it, "---" for no reading (level below 0) or a non-finite input. The safe dose
// is a whole shift at 85 dB; every 10 dB more divides the time by ten.
std::string FormatTimeToLimit(double level, int levelOffset, double shiftLenHours);

// The time behind that text, in seconds: how long one may stay at the level before the
// shift's safe dose is used up (beyond the shift too); NaN where the text is "---".
double TimeToLimitSeconds(double level, int levelOffset, double shiftLenHours);
