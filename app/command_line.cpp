#include "app/command_line.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr const char* Usage =
    "usage: decimon [--help | --version]\n"
    "Shows the level of one networked sound-level meter full screen, read over SNMP, and how long\n"
    "one may stay at that level before a shift's safe noise dose is used up.\n"
    "  --help     this text\n"
    "  --version  the version\n"
    "Qt's own options, such as -platform NAME, are taken as well.\n"
    "\n"
    "Settings  ~/.config/Corvanta/Decimon.reg ($XDG_CONFIG_HOME), else the site's\n"
    "          /etc/xdg/Corvanta/Decimon.reg; changed with C in the display\n"
    "Record    ~/.local/share/Corvanta/Decimon/levels.sqlite3 ($XDG_DATA_HOME); decimon-levels\n"
    "          writes it as CSV\n"
    "Keys      F full screen, C configuration, D diagnostics, H history, Alt+F X exit\n"
    "More      /usr/share/doc/decimon/docs/admin-guide.md\n";

// Qt's documented options (QGuiApplication's, QApplication's and X's): those that take the
// next argument as their value, those that stand alone, and those written "-name=VALUE". Qt
// takes "--name" as "-name".
constexpr std::string_view QtOptionsWithValue[] = {
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowicon",        "-qwindowtitle",  "-session",
    "-display",         "-geometry",           "-style",         "-stylesheet"};
constexpr std::string_view QtFlags[] = {"-reverse", "-widgetcount"};
constexpr std::string_view QtJoinedOptions[] = {"-style=", "-stylesheet=", "-qmljsdebugger="};

bool Reject(const char* argument) {
    std::fprintf(stderr, "decimon: unknown argument \"%s\"\n%s", argument, Usage);
    return false;
}

bool Has(int argc, char** argv, std::string_view option) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == option)
            return true;
    }
    return false;
}

}  // namespace

std::optional<int> AnswerInfoRequest(int argc, char** argv) {
    if (Has(argc, argv, "--help")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (Has(argc, argv, "--version")) {
        std::printf("decimon %s\n", DECIMON_VERSION);
        return 0;
    }
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
        if (!std::ranges::any_of(QtOptionsWithValue, is) || ++i == argc)
            return Reject(argv[std::min(i, argc - 1)]);
    }
    return true;
}

bool NoArgumentsLeft(int argc, char** argv) {
    return argc <= 1 || Reject(argv[1]);
}
