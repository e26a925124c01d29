#pragma once
// The manner every Decimon program keeps on its command line: -h or --help prints the usage on
// standard output and --version "NAME VERSION", both with status 0; a bad option or value is
// one line naming it on standard error, a pointer to --help, and status 2 (never the usage,
// which would bury the line).

#include <cstdio>
#include <string_view>

inline constexpr int BadArgumentsStatus = 2;

inline bool IsHelpOption(std::string_view argument) {
    return argument == "-h" || argument == "--help";
}

inline int ShowUsage(const char* usage) {
    std::fputs(usage, stdout);
    return 0;
}

inline int ShowVersion(const char* program, const char* version) {
    std::printf("%s %s\n", program, version);
    return 0;
}

inline int RefuseArguments(const char* program, std::string_view why) {
    std::fprintf(stderr, "%s: %.*s\nTry '%s --help'.\n", program, static_cast<int>(why.size()), why.data(), program);
    return BadArgumentsStatus;
}
