#pragma once
// The settings' ShiftLenHours as the display and the record's readers reckon with it: a text
// holding a number of hours from 0.5 to 24. The configuration dialog keeps to 1 to 24; a
// file written by hand may hold anything.

#include "config/settings.h"

#include <string>

inline constexpr double LeastShiftLenHours = 0.5;
inline constexpr double MostShiftLenHours = 24.0;

// Checks `settings.ShiftLenHours`, as LoadSettings left it, against the settings file: a
// value of another kind than a text, or a number of hours outside 0.5 to 24 ("0.1", "abc"), is
// not used. The default then takes its place, and the answer is one line naming the setting
// and why; it is empty when the setting is used as it stands (also when it is missing).
std::string CheckShiftLenHours(Settings& settings);
