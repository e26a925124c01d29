#include "levels/record_options.h"

#include "platform/sys/command_line_manner.h"

namespace {

std::optional<LocalDate> DateOption(const std::optional<std::string>& text, const LocalDate& defaultDate) {
    return text ? ParseDate(*text) : defaultDate;
}

}  // namespace

bool IsOption(const std::string& argument, std::string_view name) {
    return argument.starts_with(name) && (argument.size() == name.size() || argument[name.size()] == '=');
}

bool RecordOptionsParser::TakeValue(const std::vector<std::string>& arguments, std::size_t& index,
                                    std::string_view name, std::optional<std::string>& value) {
    const std::string& argument = arguments[index];
    if (value) {
        error_ = std::string(name) + " is given twice";
        return false;
    }
    if (argument.size() > name.size())
        value = argument.substr(name.size() + 1);
    else if (index + 1 < arguments.size())
        value = arguments[++index];
    if (!value || value->empty()) {
        error_ = std::string(name) + " wants a value";
        return false;
    }
    return true;
}

bool RecordOptionsParser::Take(const std::vector<std::string>& arguments, std::size_t& index) {
    const std::string& argument = arguments[index];
    if (IsOption(argument, "--from"))
        return TakeValue(arguments, index, "--from", from_);
    if (IsOption(argument, "--to"))
        return TakeValue(arguments, index, "--to", to_);
    if (IsOption(argument, "--host"))
        return TakeValue(arguments, index, "--host", options_.Host);
    if (IsOption(argument, "--database"))
        return TakeValue(arguments, index, "--database", options_.Database);
    if (IsOption(argument, "--shifts"))
        return TakeValue(arguments, index, "--shifts", options_.Shifts);
    if (IsHelpOption(argument) || argument == "--version") {
        (argument == "--version" ? options_.Version : options_.Help) = true;
        return true;
    }
    error_ = "unknown argument \"" + argument + "\"";
    return false;
}

std::optional<RecordOptions> RecordOptionsParser::Finish(const LocalDate& defaultDate) {
    const std::optional<LocalDate> first = DateOption(from_, defaultDate);
    const std::optional<LocalDate> last = DateOption(to_, defaultDate);
    if (!first || !last) {
        error_ = std::string(first ? "--to" : "--from") + " wants a date as YYYY-MM-DD, not \"" +
                 (first ? *to_ : *from_) + "\"";
        return std::nullopt;
    }
    if (*last < *first) {
        error_ = "the range ends (" + FormatDate(*last) + ") before it starts (" + FormatDate(*first) + ")";
        return std::nullopt;
    }
    options_.From = *first;
    options_.To = *last;
    return options_;
}
