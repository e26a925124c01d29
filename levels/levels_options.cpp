#include "levels/levels_options.h"

#include <string_view>

namespace {

// Takes the value of `name`, given as "--name VALUE" or "--name=VALUE"; false when it is
// missing or the option came before.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& index, std::string_view name,
               std::optional<std::string>& value) {
    const std::string& argument = arguments[index];
    if (value)
        return false;
    if (argument.size() > name.size() && argument[name.size()] == '=') {
        value = argument.substr(name.size() + 1);
        return true;
    }
    if (index + 1 >= arguments.size())
        return false;
    value = arguments[++index];
    return true;
}

bool Named(const std::string& argument, std::string_view name) {
    return argument.starts_with(name) && (argument.size() == name.size() || argument[name.size()] == '=');
}

}  // namespace

std::optional<LevelsOptions> ParseLevelsOptions(const std::vector<std::string>& arguments, const LocalDate& today) {
    LevelsOptions options;
    std::optional<std::string> from;
    std::optional<std::string> to;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        bool ok = true;
        if (Named(argument, "--from"))
            ok = TakeValue(arguments, index, "--from", from);
        else if (Named(argument, "--to"))
            ok = TakeValue(arguments, index, "--to", to);
        else if (Named(argument, "--host"))
            ok = TakeValue(arguments, index, "--host", options.Host) && !options.Host->empty();
        else if (argument == "--daily" && !options.Daily)
            options.Daily = true;
        else if (argument == "--help" || argument == "-h")
            options.Help = true;
        else
            ok = false;
        if (!ok)
            return std::nullopt;
    }
    const std::optional<LocalDate> first = from ? ParseDate(*from) : today;
    const std::optional<LocalDate> last = to ? ParseDate(*to) : today;
    if (!first || !last || *last < *first)
        return std::nullopt;
    options.From = *first;
    options.To = *last;
    return options;
}
