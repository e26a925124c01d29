#pragma once
// The shift length and the shifts the record's readers reckon with: the settings' own, or the
// shifts of the command line.

#include "exposure/shift_pattern.h"

#include <optional>
#include <string>
#include <variant>

// The settings' ShiftLenHours; when they cannot be read, or the value is not a number of hours
// from 0.5 to 24 (config/shift_length_setting.h), the factory default, and `warning` says so
// in one line (since the dose then may not be the site's); else it is left empty.
double ReadShiftLength(std::string& warning);

// The shifts of --shifts `option` when given, else one line "--shifts: REASON"; without it the
// site's shifts (the setting Shifts, or the default from `shiftLenHours`), and `warning` one
// line when the setting cannot be used (else empty).
std::variant<ShiftPattern, std::string> ReadShifts(const std::optional<std::string>& option, double shiftLenHours,
                                                   std::string& warning);
