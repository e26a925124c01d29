#include "levels/levels_options.h"

std::variant<LevelsOptions, std::string> ParseLevelsOptions(const std::vector<std::string>& arguments,
                                                            const LocalDate& today) {
    RecordOptionsParser parser;
    bool daily = false;
    bool byShift = false;
    bool emptyShifts = false;
    bool weeks = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        const bool shifts = IsOption(argument, "--shifts");
        // Alone, or before another option: the site's shifts; else with its PATTERN.
        const bool bare =
            argument == "--shifts" && (index + 1 == arguments.size() || arguments[index + 1].starts_with('-'));
        // "--shifts=" has left its PATTERN out: one line from ReadShifts says so, not the usage.
        const bool empty = argument == "--shifts=";
        if ((argument == "--daily" && daily) || (argument == "--weeks" && weeks))
            return argument + " is given twice";
        if (shifts && byShift)
            return std::string("--shifts is given twice");
        if (argument == "--daily")
            daily = true;
        else if (argument == "--weeks")
            weeks = true;
        else if (empty)
            byShift = emptyShifts = true;
        else if (shifts && (bare || parser.Take(arguments, index)))
            byShift = true;
        else if (shifts || !parser.Take(arguments, index))
            return parser.Error();
    }
    if (daily && byShift)
        return std::string("--daily and --shifts exclude each other");
    if (daily && weeks)
        return std::string("--daily and --weeks exclude each other");
    const std::optional<RecordOptions> record = parser.Finish(today);
    if (!record)
        return parser.Error();
    LevelsOptions options;
    static_cast<RecordOptions&>(options) = *record;
    options.Daily = daily;
    options.ByShift = byShift;
    options.Weeks = weeks;
    if (emptyShifts)
        options.Shifts = "";
    return options;
}
