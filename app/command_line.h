#pragma once
// The display's command line. Its own options are --help and --version, answered before Qt
// starts, so that they need no display; Qt takes its own (-platform NAME and the like); any
// other argument is a mistake, told before Qt starts too. Plain `decimon` starts the display.

#include <optional>

// The exit status of a command line with an argument that neither Qt nor the display takes.
constexpr int BadArgumentsStatus = 2;

// --help prints the usage and --version the version on standard output: the status to exit
// with at once. nullopt for any other command line, which Qt sees next.
std::optional<int> AnswerInfoRequest(int argc, char** argv);

// Before Qt starts, so that a mistake is told with or without a display: true when every
// argument is one of Qt's documented options (with its value); otherwise names the first
// other one and prints the usage on standard error.
bool OnlyQtArguments(int argc, char** argv);

// Once Qt has taken its own arguments: true when none is left; otherwise names the first one
// left and prints the usage on standard error.
bool NoArgumentsLeft(int argc, char** argv);
