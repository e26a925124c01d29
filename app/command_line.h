#pragma once
// The display's command line. Its own options are -h/--help and --version, answered before Qt
// starts, so that they need no display; Qt takes its own (-platform NAME and the like); any
// other argument is a mistake, told before Qt starts too, in the manner of every Decimon
// program (platform/sys/command_line_manner.h). Plain `decimon` starts the display.

#include "platform/sys/command_line_manner.h"

#include <optional>

// -h or --help prints the usage and --version the version on standard output: the status to exit
// with at once. nullopt for any other command line, which Qt sees next.
std::optional<int> AnswerInfoRequest(int argc, char** argv);

// Before Qt starts, so that a mistake is told with or without a display: true when every
// argument is one of Qt's documented options (with its value); otherwise names the first
// other one (or the option without its value) on standard error.
bool OnlyQtArguments(int argc, char** argv);

// Once Qt has taken its own arguments: true when none is left; otherwise names the first one
// left on standard error.
bool NoArgumentsLeft(int argc, char** argv);
