#pragma once
// The site's shifts as the display and the record's readers use them: the setting Shifts,
// else back-to-back shifts of ShiftLenHours from 06:00.

#include "exposure/shift_pattern.h"

#include <string>

// The pattern of the setting Shifts; when it is missing, ShiftPattern::Default(shiftLenHours).
// A Shifts that is not a text or cannot be read as shifts gives the default too, and
// `warning` one line naming Shifts and why; otherwise `warning` is left empty.
ShiftPattern LoadSiteShifts(double shiftLenHours, std::string& warning);
