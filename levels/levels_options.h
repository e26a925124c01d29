#pragma once
// The command line of decimon-levels:
//   decimon-levels [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--database FILE] [--daily]
// Dates are inclusive local dates and default to today; without --host every host is read.

#include "levels/record_options.h"

#include <optional>
#include <string>
#include <vector>

inline constexpr char LevelsUsage[] =
    "usage: decimon-levels [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--database FILE] [--daily]\n"
    "Writes the display's record of sound levels as CSV: one row a minute, or with --daily\n"
    "one row a day and host (Leq, LEX,8h and noise dose). --from and --to are local dates,\n"
    "both included (default: today); --host keeps one meter's rows; --database reads another\n"
    "record than the user's.\n";

struct LevelsOptions : RecordOptions {
    bool Daily = false;
};

// The options of `arguments` (without the program's name); nothing for an unknown option, a
// missing or malformed value, an option given twice, or --from after --to.
std::optional<LevelsOptions> ParseLevelsOptions(const std::vector<std::string>& arguments, const LocalDate& today);
