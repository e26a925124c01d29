#pragma once
// The shift length the record's readers reckon the dose for: the settings' own.

#include <string>

// The settings' ShiftLenHours; when they cannot be read, the factory default, and
// `warning` says so in one line (since the dose then may not be the site's); else it is
// left empty.
double ReadShiftLength(std::string& warning);
