// decimon-levels: the display's record of sound levels as CSV, read from the same database
// while the display writes it. Exit status 0, 1 when the database is missing or cannot be
// read, --host names a host it does not hold or the CSV cannot be written, 2 for bad
// arguments (--shifts too), told in one line.
#include "exposure/shift_sums.h"
#include "levels/levels_csv.h"
#include "levels/levels_options.h"
#include "levels/record_tool.h"
#include "platform/sys/command_line_manner.h"
#include "platform/sys/ole_date_time.h"
#include "platform/sys/output_stream.h"

#include <optional>
#include <string>
#include <vector>

namespace {

int Export(const LevelsOptions& options) {
    RecordTool tool("decimon-levels");
    std::optional<ShiftPattern> shifts;
    if ((options.ByShift || options.Weeks) && !(shifts = tool.Shifts(options.Shifts, tool.ShiftLength())))
        return 2;
    const std::unique_ptr<LevelReader> reader = tool.OpenRecord(options);
    if (!reader)
        return 1;
    const MinuteQuery query{options.Host, LocalDayStart(options.From), LocalDayStart(NextDate(options.To))};
    // Standard output remembers why a write failed (a full disk, say): the run then stops
    // writing and ends with status 1, however large the write was.
    StandardOutput out;
    bool read = true;
    if (shifts) {
        const auto patterns =
            tool.PatternsByDate(*reader, *shifts, options.Shifts.has_value(), options.From, options.To);
        if (!patterns)
            return 1;
        // A shift not begun yet is left out, one not ended yet is under way.
        ShiftSums sums(*patterns, options.From, options.To, COleDateTime::GetCurrentCalendarTime());
        read = reader->ForEachMinute({options.Host, sums.From(), sums.To()}, [&](const MinuteRow& row) {
            sums.Add(row);
            return true;
        });
        if (out.Write(options.Weeks ? WeekCsvHeader : ShiftCsvHeader) && read)
            out.Write(options.Weeks ? WeekCsvLines(sums) : ShiftCsvLines(sums, *patterns, tool.MeterClass()));
    } else if (options.Daily) {
        const double shiftLenHours = tool.ShiftLength();
        DailyCsv daily;
        read = reader->ForEachMinute(query, [&](const MinuteRow& row) {
            daily.Add(row);
            return true;
        });
        if (out.Write(DailyCsvHeader) && read)
            out.Write(daily.Lines(shiftLenHours));
    } else if (out.Write(MinuteCsvHeader)) {
        read = reader->ForEachMinute(query, [&](const MinuteRow& row) { return out.Write(MinuteCsvLine(row)); });
    }
    if (!read)
        return tool.ReadFailed(*reader);
    return out.Flush() ? 0 : tool.Fail("cannot write the CSV: " + out.Error());
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseLevelsOptions(std::vector<std::string>(argv + 1, argv + argc),
                                           LocalDateOf(COleDateTime::GetCurrentCalendarTime()));
    if (const std::string* error = std::get_if<std::string>(&parsed))
        return RefuseArguments("decimon-levels", *error);
    const LevelsOptions& options = std::get<LevelsOptions>(parsed);
    if (options.Help)
        return ShowUsage(LevelsUsage);
    if (options.Version)
        return ShowVersion("decimon-levels", DECIMON_VERSION);
    return Export(options);
}
