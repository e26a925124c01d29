// decimon-levels: the display's record of sound levels as CSV, read from the same database
// while the display writes it. Exit status 0, 1 when the database is missing or cannot be
// read, 2 for bad arguments (after the usage).
#include "config/settings_store.h"
#include "levels/levels_csv.h"
#include "levels/levels_options.h"
#include "platform/sys/ole_date_time.h"
#include "record/level_reader.h"
#include "record/level_schema.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "decimon-levels: %s\n", message.c_str());
    return 1;
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int Export(const LevelsOptions& options) {
    const std::string path = DefaultLevelDatabasePath();
    if (!IsFile(path))
        return Fail("no levels recorded: there is no database at " + (path.empty() ? "$XDG_DATA_HOME" : path));
    LevelReader reader(path);
    const MinuteQuery query{options.Host, LocalDayStart(options.From), LocalDayStart(NextDate(options.To))};
    bool read = reader.IsOpen();
    if (read && options.Daily) {
        Settings settings;
        SettingsStore::LoadSettings(settings);
        const auto rows = reader.ReadMinutes(query);
        read = rows.has_value();
        std::fputs(DailyCsvHeader, stdout);
        if (rows)
            std::fputs(DailyCsvLines(*rows, settings.ShiftLenHours).c_str(), stdout);
    } else if (read) {
        std::fputs(MinuteCsvHeader, stdout);
        read =
            reader.ForEachMinute(query, [](const MinuteRow& row) { std::fputs(MinuteCsvLine(row).c_str(), stdout); });
    }
    if (!read)
        return Fail("cannot read " + path + ": " + reader.Error());
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the CSV");
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
