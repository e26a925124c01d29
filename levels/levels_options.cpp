#include "levels/levels_options.h"

std::optional<LevelsOptions> ParseLevelsOptions(const std::vector<std::string>& arguments, const LocalDate& today) {
    RecordOptionsParser parser;
    bool daily = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] == "--daily" && !daily)
            daily = true;
        else if (!parser.Take(arguments, index))
            return std::nullopt;
    }
    const std::optional<RecordOptions> record = parser.Finish(today);
    if (!record)
        return std::nullopt;
    LevelsOptions options;
    static_cast<RecordOptions&>(options) = *record;
    options.Daily = daily;
    return options;
}
