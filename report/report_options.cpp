#include "report/report_options.h"

#include <optional>

std::variant<ReportOptions, std::string> ParseReportOptions(const std::vector<std::string>& arguments,
                                                            const LocalDate& yesterday) {
    RecordOptionsParser parser;
    std::optional<std::string> output;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (IsOption(arguments[index], "--output") ? !parser.TakeValue(arguments, index, "--output", output)
                                                   : !parser.Take(arguments, index))
            return parser.Error();
    }
    const std::optional<RecordOptions> record = parser.Finish(yesterday);
    if (!record)
        return parser.Error();
    ReportOptions options;
    static_cast<RecordOptions&>(options) = *record;
    if (!output && !options.Help && !options.Version)
        return std::string("--output FILE.pdf is missing");
    options.Output = output.value_or("");
    return options;
}
