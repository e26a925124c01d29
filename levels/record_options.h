#pragma once
// The options that every command-line reader of the exposure record takes:
//   [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--host NAME] [--database FILE] [--shifts PATTERN]
//   [-h | --help | --version]
// Dates are inclusive local dates; without --host every host is read, and without
// --database the user's record. A value comes as "--name VALUE" or "--name=VALUE".

#include "exposure/local_days.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RecordOptions {
    LocalDate From;
    LocalDate To;
    std::optional<std::string> Host;
    std::optional<std::string> Database;
    std::optional<std::string> Shifts;  // --shifts PATTERN, read by ReadShifts (levels/shift_length.h)
    bool Help = false;                  // -h or --help: the usage, nothing else
    bool Version = false;               // --version: the version, nothing else
};

// Whether `argument` is the option `name`, alone or as "name=VALUE".
bool IsOption(const std::string& argument, std::string_view name);

// Reads the record's options one argument at a time, after the program has looked for its own.
class RecordOptionsParser {
public:
    // Takes arguments[index], and its value (moving `index` past it) for an option that has
    // one: true when it was one of the record's options and well formed; otherwise Error()
    // says what is wrong with it.
    bool Take(const std::vector<std::string>& arguments, std::size_t& index);

    // The value of the program's own option `name` at arguments[index], into `value`; false
    // (with Error() set) when it is missing, empty, or the option came before.
    bool TakeValue(const std::vector<std::string>& arguments, std::size_t& index, std::string_view name,
                   std::optional<std::string>& value);

    // The options once every argument is taken, the dates left out being `defaultDate`;
    // nothing for a malformed date or a range that ends before it starts, and Error() says so.
    std::optional<RecordOptions> Finish(const LocalDate& defaultDate);

    // One line, without the program's name: "--from wants a date as YYYY-MM-DD, not "30.11.2025"".
    const std::string& Error() const { return error_; }

private:
    RecordOptions options_;
    std::optional<std::string> from_;
    std::optional<std::string> to_;
    std::string error_;
};
