#pragma once
// What decimon-levels and decimon-report share around the record they read: their one-line
// messages on standard error ("decimon-levels: ..."), the record named by --database or the
// user's, opened with --host checked against it, and the settings' shift length, shifts and
// meter class.

#include "exposure/shift_pattern.h"
#include "levels/record_options.h"
#include "record/level_reader.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class RecordTool {
public:
    explicit RecordTool(std::string program) : program_(std::move(program)) {}

    // One line on standard error: the program's name and `message`.
    void Say(const std::string& message) const;
    // Says `message`; the exit status 1.
    int Fail(const std::string& message) const;

    // The record of `options`, open; nothing after one line saying why when there is no
    // database ("no levels recorded: ..."), it cannot be read, or --host names a host that
    // has no minute in it at all (the line names those it has).
    std::unique_ptr<LevelReader> OpenRecord(const RecordOptions& options);
    // The exit status 1 after "cannot read PATH: " and the reader's error.
    int ReadFailed(const LevelReader& reader) const;
    // The path of the record last opened.
    const std::string& Path() const { return path_; }

    // The settings' ShiftLenHours, after one line when they cannot be read.
    double ShiftLength() const;
    // The shifts of --shifts `option`, or else the site's (after one line when its setting
    // cannot be used, the default from `shiftLenHours`); nothing after one line saying what is
    // wrong with `option`, for the exit status 2.
    std::optional<ShiftPattern> Shifts(const std::optional<std::string>& option, double shiftLenHours);
    // The line said when the setting Shifts could not be used at the last Shifts(), or empty.
    const std::string& ShiftsRejected() const { return shiftsRejected_; }

    // The shifts each day of from..to is judged by, in order of their dates: `shifts` for the
    // whole period when they came from --shifts (`fromOption`); else those the record kept as
    // in force at each day's start, and `shifts` (the site's now) for the days before the
    // record kept any. Nothing, after one line, when the record cannot be read.
    std::optional<std::vector<DatedPattern>> PatternsByDate(LevelReader& reader, const ShiftPattern& shifts,
                                                            bool fromOption, const LocalDate& from,
                                                            const LocalDate& to) const;

    // The settings' MeterClass (1 or 2), or 0, not stated, after one line when it is of another
    // kind or number.
    int MeterClass() const;

private:
    std::string program_;
    std::string path_;
    std::string shiftsRejected_;
};
