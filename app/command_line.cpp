#include "app/command_line.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

constexpr const char* Usage =
    "usage: decimon [-h | --help | --version] [Qt's options]\n"
    "Shows the level of one networked sound-level meter full screen, read over SNMP, and how long\n"
    "one may stay at that level before a shift's safe noise dose is used up.\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "Qt's own options, such as -platform NAME, are taken as well.\n"
    "\n"
    "Settings  ~/.config/Corvanta/Decimon.reg ($XDG_CONFIG_HOME), else the site's\n"
    "          /etc/xdg/Corvanta/Decimon.reg; changed with C in the display\n"
    "Record    ~/.local/share/Corvanta/Decimon/levels.sqlite3 ($XDG_DATA_HOME); decimon-levels\n"
    "          writes it as CSV\n"
    "Keys      F full screen, C configuration, D diagnostics, H history, Alt+F X exit\n"
    "More      man decimon, man decimon-settings, /usr/share/doc/decimon/docs/admin-guide.md\n";

// Qt's documented options (QGuiApplication's, QApplication's and X's): those that take the
// next argument as their value, those that stand alone, and those written "-name=VALUE". Qt
// takes "--name" as "-name".
constexpr std::string_view QtOptionsWithValue[] = {
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-session",
    "-display",         "-geometry",           "-style",         "-stylesheet"};
constexpr std::string_view QtFlags[] = {"-reverse", "-widgetcount"};
constexpr std::string_view QtJoinedOptions[] = {"-style=", "-stylesheet=", "-qmljsdebugger="};

bool Reject(std::string_view why) {
    RefuseArguments("decimon", why);
    return false;
}

bool RejectArgument(const char* argument) {
    return Reject("unknown argument \"" + std::string(argument) + "\"");
}

bool Has(int argc, char** argv, bool (*is)(std::string_view)) {
    for (int i = 1; i < argc; ++i) {
        if (is(argv[i]))
            return true;
    }
    return false;
}

bool IsVersionOption(std::string_view argument) {
    return argument == "--version";
}

}  // namespace

std::optional<int> AnswerInfoRequest(int argc, char** argv) {
    if (Has(argc, argv, IsHelpOption))
        return ShowUsage(Usage);
    if (Has(argc, argv, IsVersionOption))
        return ShowVersion("decimon", DECIMON_VERSION);
    return std::nullopt;
}

bool OnlyQtArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--"))
            argument.remove_prefix(1);
        const auto is = [argument](std::string_view option) { return argument == option; };
        const auto joined = [argument](std::string_view option) { return argument.starts_with(option); };
        if (std::ranges::any_of(QtFlags, is) || std::ranges::any_of(QtJoinedOptions, joined))
            continue;
        if (!std::ranges::any_of(QtOptionsWithValue, is))
            return RejectArgument(argv[i]);
        if (++i == argc)
            return Reject(std::string(argv[i - 1]) + " wants a value");
    }
    return true;
}

bool NoArgumentsLeft(int argc, char** argv) {
    return argc <= 1 || RejectArgument(argv[1]);
}
