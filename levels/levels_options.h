#pragma once
// The command line of decimon-levels:
//   decimon-levels [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--database FILE]
//                  [--daily | --shifts [PATTERN] | --weeks [--shifts PATTERN]] | -h | --help | --version
// Dates are inclusive local dates and default to today; without --host every host is read.
// --shifts takes the next argument as its PATTERN unless it starts with "-".

#include "levels/record_options.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

inline constexpr char LevelsUsage[] =
    "usage: decimon-levels [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--database FILE]\n"
    "                      [--daily | --shifts [PATTERN] | --weeks [--shifts PATTERN]]\n"
    "       decimon-levels -h | --help | --version\n"
    "Writes the display's record of sound levels as CSV: one row a minute; with --daily one\n"
    "row a calendar day and host (Leq, LEX,8h and noise dose of the area's whole day); with\n"
    "--shifts one row a shift, day and host (the A-weighted LAeq, LEX,8h, dose and action\n"
    "value of a worker there for the shift), the shifts of the setting Shifts or of PATTERN\n"
    "(\"06:00-14:00,14:00-22:00,22:00-06:00\"); with --weeks one row an ISO week, shift and host\n"
    "(the weekly level LEX,w of those shifts). --from and --to are local dates, both included\n"
    "(default: today); --host keeps one meter's rows; --database reads another record than\n"
    "the user's.\n";

struct LevelsOptions : RecordOptions {
    bool Daily = false;
    bool ByShift = false;  // --shifts, with the site's shifts or those of its PATTERN
    bool Weeks = false;    // --weeks: the weekly levels of those shifts
};

// The options of `arguments` (without the program's name), or one line saying what is wrong:
// an unknown option, a missing or malformed value, an option given twice, or --from after --to.
std::variant<LevelsOptions, std::string> ParseLevelsOptions(const std::vector<std::string>& arguments,
                                                            const LocalDate& today);
