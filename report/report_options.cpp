#include "report/report_options.h"

#include <optional>

std::variant<ReportOptions, std::string> ParseReportOptions(const std::vector<std::string>& arguments,
                                                            const LocalDate& yesterday) {
    RecordOptionsParser parser;
    std::optional<std::string> output;
    bool version = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] == "--version")
            version = true;
        else if (IsOption(arguments[index], "--output") ? !parser.TakeValue(arguments, index, "--output", output)
                                                        : !parser.Take(arguments, index))
            return parser.Error();
    }
    const std::optional<RecordOptions> record = parser.Finish(yesterday);
    if (!record)
        return parser.Error();
    ReportOptions options;
    static_cast<RecordOptions&>(options) = *record;
    options.Version = version;
    if (!output && !options.Help && !version)
        return std::string("--output FILE.pdf is missing");
    options.Output = output.value_or("");
    return options;
}
