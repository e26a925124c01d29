#include "levels/record_tool.h"

#include "config/settings_store.h"
#include "levels/shift_length.h"
#include "record/level_schema.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool IsFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// "\"hall, 3\", \"press\"", or that there are none.
std::string HostList(const std::vector<std::string>& hosts) {
    if (hosts.empty())
        return "no minutes at all";
    std::string list;
    for (const std::string& host : hosts)
        list += (list.empty() ? "\"" : ", \"") + host + "\"";
    return list;
}

}  // namespace

void RecordTool::Say(const std::string& message) const {
    std::fprintf(stderr, "%s: %s\n", program_.c_str(), message.c_str());
}

int RecordTool::Fail(const std::string& message) const {
    Say(message);
    return 1;
}

std::unique_ptr<LevelReader> RecordTool::OpenRecord(const RecordOptions& options) {
    path_ = options.Database.value_or(DefaultLevelDatabasePath());
    if (!IsFile(path_)) {
        Fail("no levels recorded: there is no database at " + (path_.empty() ? "$XDG_DATA_HOME" : path_));
        return nullptr;
    }
    auto reader = std::make_unique<LevelReader>(path_);
    if (!options.Host && reader->IsOpen())
        return reader;
    // A host the record never had is most likely a typo, in a cron line say: it must not pass
    // as a period without minutes.
    const auto hosts = reader->Hosts();  // nothing from a reader that is not open
    if (!hosts) {
        ReadFailed(*reader);
        return nullptr;
    }
    if (std::find(hosts->begin(), hosts->end(), *options.Host) == hosts->end()) {
        Fail("no host \"" + *options.Host + "\" in " + path_ + "; it holds " + HostList(*hosts));
        return nullptr;
    }
    return reader;
}

int RecordTool::ReadFailed(const LevelReader& reader) const {
    return Fail("cannot read " + path_ + ": " + reader.Error());
}

double RecordTool::ShiftLength() const {
    std::string warning;
    const double hours = ReadShiftLength(warning);
    if (!warning.empty())
        Say(warning);
    return hours;
}

std::optional<ShiftPattern> RecordTool::Shifts(const std::optional<std::string>& option, double shiftLenHours) {
    auto shifts = ReadShifts(option, shiftLenHours, shiftsRejected_);
    if (const std::string* error = std::get_if<std::string>(&shifts)) {
        Say(*error);
        return std::nullopt;
    }
    if (!shiftsRejected_.empty())
        Say(shiftsRejected_);
    return std::get<ShiftPattern>(std::move(shifts));
}

std::optional<std::vector<DatedPattern>> RecordTool::PatternsByDate(LevelReader& reader, const ShiftPattern& shifts,
                                                                    bool fromOption, const LocalDate& from,
                                                                    const LocalDate& to) const {
    std::vector<DatedPattern> patterns{{from, to, shifts, fromOption ? "" : shiftsRejected_}};
    if (fromOption)
        return patterns;
    const auto periods = reader.ReadShiftPatterns(LocalDayStart(from), LocalDayStart(NextDate(to)));
    if (!periods) {
        ReadFailed(reader);
        return std::nullopt;
    }
    for (const PatternPeriod& period : *periods) {
        auto parsed = ShiftPattern::Parse(period.Values.Shifts);
        const ShiftPattern* kept = std::get_if<ShiftPattern>(&parsed);
        LocalDate day = LocalDateOf(period.From);
        if (LocalDayStart(day) < period.From)
            day = NextDate(day);  // a day is judged by the shifts in force at its start
        if (kept == nullptr || day > to)
            continue;  // not written by the display, or in force after the period
        while (!patterns.empty() && patterns.back().From >= day)
            patterns.pop_back();
        if (patterns.empty() ||
            !(patterns.back().Shifts == *kept && patterns.back().Rejected == period.Values.Rejected))
            patterns.push_back({day, to, *kept, period.Values.Rejected});
    }
    for (std::size_t index = 0; index + 1 < patterns.size(); ++index)
        patterns[index].To = LocalDateOf(LocalDayStart(patterns[index + 1].From) - 1);
    return patterns;
}

int RecordTool::MeterClass() const {
    bool wrong = false;
    const int meterClass = SettingsStore::LoadMeterClass(&wrong);
    if (wrong)
        Say("the setting MeterClass is not a dword of 1 or 2; class not stated");
    return meterClass;
}
