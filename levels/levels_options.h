#pragma once
// The command line of decimon-levels:
//   decimon-levels [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--daily]
// Dates are inclusive local dates and default to today; without --host every host is read.

#include "record/local_days.h"

#include <optional>
#include <string>
#include <vector>

inline constexpr char LevelsUsage[] =
    "usage: decimon-levels [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--daily]\n"
    "Writes the display's record of sound levels as CSV: one row a minute, or with --daily\n"
    "one row a day and host (Leq, LEX,8h and noise dose). --from and --to are local dates,\n"
    "both included (default: today); --host keeps one meter's rows.\n";

struct LevelsOptions {
    LocalDate From;
    LocalDate To;
    std::optional<std::string> Host;
    bool Daily = false;
    bool Help = false;  // -h or --help: the usage, nothing else
};

// The options of `arguments` (without the program's name); nothing for an unknown option, a
// missing or malformed value, an option given twice, or --from after --to.
std::optional<LevelsOptions> ParseLevelsOptions(const std::vector<std::string>& arguments, const LocalDate& today);
