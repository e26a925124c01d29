// decimon-levels: the display's record of sound levels as CSV, read from the same database
// while the display writes it. Exit status 0, 1 when the database is missing or cannot be
// read or the CSV cannot be written, 2 for bad arguments (after the usage; bad --shifts
// after one line).
#include "levels/levels_csv.h"
#include "levels/levels_options.h"
#include "levels/shift_length.h"
#include "platform/sys/ole_date_time.h"
#include "record/level_reader.h"
#include "record/level_schema.h"
#include "record/shift_sums.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

void Say(const std::string& message) {
    std::fprintf(stderr, "decimon-levels: %s\n", message.c_str());
}

int Fail(const std::string& message) {
    Say(message);
    return 1;
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Standard output, which remembers why a write failed (a full disk, say): the run
// then stops writing and ends with status 1, however large the write was.
class CsvOutput {
public:
    bool Put(const std::string& text) {
        if (error_ == 0 && std::fputs(text.c_str(), stdout) == EOF)
            error_ = errno != 0 ? errno : EIO;
        return error_ == 0;
    }
    // Flushes what is buffered; false when anything failed to be written.
    bool Finish() {
        if (error_ == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout)))
            error_ = errno != 0 ? errno : EIO;
        return error_ == 0;
    }
    std::string Error() const { return std::strerror(error_); }

private:
    int error_ = 0;
};

double ShiftLength() {
    std::string warning;
    const double hours = ReadShiftLength(warning);
    if (!warning.empty())
        Say(warning);
    return hours;
}

int Export(const LevelsOptions& options) {
    std::optional<ShiftPattern> shifts;
    if (options.ByShift) {
        std::string warning;
        auto read = ReadShifts(options.Shifts, ShiftLength(), warning);
        if (const std::string* error = std::get_if<std::string>(&read)) {
            Say(*error);
            return 2;
        }
        if (!warning.empty())
            Say(warning);
        shifts = std::get<ShiftPattern>(std::move(read));
    }
    const std::string path = options.Database.value_or(DefaultLevelDatabasePath());
    if (!IsFile(path))
        return Fail("no levels recorded: there is no database at " + (path.empty() ? "$XDG_DATA_HOME" : path));
    LevelReader reader(path);
    const MinuteQuery query{options.Host, LocalDayStart(options.From), LocalDayStart(NextDate(options.To))};
    CsvOutput out;
    bool read = reader.IsOpen();
    if (read && shifts) {
        ShiftSums sums(*shifts, options.From, options.To);
        read = reader.ForEachMinute({options.Host, sums.From(), sums.To()}, [&](const MinuteRow& row) {
            sums.Add(row);
            return true;
        });
        if (out.Put(ShiftCsvHeader) && read) {
            for (const auto& [key, sum] : sums.Sums()) {
                const ShiftFigures figures = sum.Figures();
                if (figures.MeasuredSeconds > 0.0 || !figures.OtherSeconds.empty())  // else minutes of no time
                    out.Put(ShiftCsvLine(key.second, figures));
            }
        }
    } else if (read && options.Daily) {
        const double shiftLenHours = ShiftLength();
        DailyCsv daily;
        read = reader.ForEachMinute(query, [&](const MinuteRow& row) {
            daily.Add(row);
            return true;
        });
        if (out.Put(DailyCsvHeader) && read)
            out.Put(daily.Lines(shiftLenHours));
    } else if (read && out.Put(MinuteCsvHeader)) {
        read = reader.ForEachMinute(query, [&](const MinuteRow& row) { return out.Put(MinuteCsvLine(row)); });
    }
    if (!read)
        return Fail("cannot read " + path + ": " + reader.Error());
    return out.Finish() ? 0 : Fail("cannot write the CSV: " + out.Error());
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = ParseLevelsOptions(std::vector<std::string>(argv + 1, argv + argc),
                                            LocalDateOf(COleDateTime::GetCurrentCalendarTime()));
    if (!options) {
        std::fputs(LevelsUsage, stderr);
        return 2;
    }
    if (options->Help) {
        std::fputs(LevelsUsage, stdout);
        return 0;
    }
    return Export(*options);
}
