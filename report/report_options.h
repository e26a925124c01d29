#pragma once
// The command line of decimon-report:
//   decimon-report [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--database FILE]
//                  [--shifts PATTERN] --output FILE.pdf
// The record's options as decimon-levels takes them, the dates defaulting to yesterday.

#include "levels/record_options.h"

#include <string>
#include <variant>
#include <vector>

inline constexpr char ReportUsage[] =
    "usage: decimon-report [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--database FILE]\n"
    "                      [--shifts PATTERN] --output FILE.pdf\n"
    "       decimon-report -h | --help | --version\n"
    "Writes the display's record of sound levels as a PDF noise exposure report, meter by meter:\n"
    "the meter and a summary of its shifts, then a page a day with its chart and its shifts'\n"
    "LAeq, LEX,8h, dose and action values. --from and --to are local dates, both included\n"
    "(default: yesterday); --host keeps one meter (default: every meter with minutes in the\n"
    "period); --database reads another record than the user's; --shifts judges the shifts of\n"
    "PATTERN (\"06:00-14:00,14:00-22:00,22:00-06:00\") instead of the setting Shifts. The file\n"
    "is replaced only by a complete report; --output - writes it to standard output.\n";

struct ReportOptions : RecordOptions {
    std::string Output;
};

// The options of `arguments` (without the program's name), or one line saying what is wrong
// with them. --output may be left out only with --help or --version.
std::variant<ReportOptions, std::string> ParseReportOptions(const std::vector<std::string>& arguments,
                                                            const LocalDate& yesterday);
