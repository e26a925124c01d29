#include "record/level_reader.h"

#include "record/level_schema.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

// In the primary key's order: the rows stream from its index, with no sort.
constexpr char AllHostsSql[] = "SELECT host, start, weighting, samples, seconds, leq, lmin, lmax FROM minutes "
                               "WHERE start >= ?1 AND start < ?2 ORDER BY host, start";
constexpr char OneHostSql[] = "SELECT host, start, weighting, samples, seconds, leq, lmin, lmax FROM minutes "
                              "WHERE host = ?3 AND start >= ?1 AND start < ?2 ORDER BY start";
// The next host after ?1 in the primary key's order: one step of its index per host.
constexpr char NextHostSql[] = "SELECT host FROM minutes WHERE host > ?1 ORDER BY host LIMIT 1";

// A reader of a database in write-ahead-log mode makes its shared-memory file beside it; where
// it cannot (a folder it may not write), the database reads as SQLITE_CANTOPEN or
// SQLITE_READONLY.
bool CannotMakeSharedMemory(int code) {
    return (code & 0xff) == SQLITE_CANTOPEN || (code & 0xff) == SQLITE_READONLY;
}

// Whether a write-ahead log with committed pages lies beside `path`: those a copy read as
// immutable would miss.
bool HasLog(const std::string& path) {
    struct stat log {};
    return ::stat((path + "-wal").c_str(), &log) == 0 && log.st_size > 0;
}

// The URI that opens `path` as a file nobody writes, which SQLite reads without the log's
// shared memory or any lock.
std::string ImmutableUri(const std::string& path) {
    std::string uri = "file:";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri + "?immutable=1";
}

// The values in force at the period's start, and each change within it; nothing from a file
// of version 1, which has no table of meters.
constexpr char MetersSql[] =
    "SELECT since, name, location, level_offset FROM meters WHERE host = ?1 AND since < ?3 AND since >= "
    "coalesce((SELECT max(since) FROM meters WHERE host = ?1 AND since <= ?2), ?2) ORDER BY since";
constexpr char PatternsSql[] = "SELECT since, shifts, rejected FROM shift_patterns WHERE since < ?2 AND since >= "
                               "coalesce((SELECT max(since) FROM shift_patterns WHERE since <= ?1), ?1) ORDER BY since";
constexpr char PatternsTableCountSql[] =
    "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'shift_patterns'";
constexpr char MetersTableCountSql[] = "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'meters'";

}  // namespace

LevelReader::LevelReader(const std::string& path, int busyTimeoutMs) {
    if (!db_.Open(path, SQLITE_OPEN_READONLY, busyTimeoutMs))
        return;
    std::int64_t version = db_.QueryInteger("PRAGMA user_version", -1);
    // A copy that can only be read fails at its first statement; unless a log holds pages
    // the file lacks, it is read as immutable. No writer can be at work beside such a copy:
    // a writer's log would lie beside it.
    if (version < 0 && CannotMakeSharedMemory(db_.ErrorCode()) && !HasLog(path)) {
        if (!db_.Open(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, busyTimeoutMs))
            return;
        version = db_.QueryInteger("PRAGMA user_version", -1);
    }
    // A record of a newer layout may mean something else by the same columns.
    if (version > LevelSchemaVersion) {
        error_ = "the record has a newer layout (version " + std::to_string(version) +
                 ") than this program reads (version " + std::to_string(LevelSchemaVersion) + ")";
        db_.Close();
    }
}

const std::string& LevelReader::Error() const {
    return error_.empty() ? db_.Error() : error_;
}

std::optional<std::vector<MeterPeriod>> LevelReader::ReadMeters(const std::string& host, std::int64_t from,
                                                                std::int64_t to) {
    std::vector<MeterPeriod> periods;
    if (!db_.IsOpen())
        return std::nullopt;
    const std::int64_t tables = db_.QueryInteger(MetersTableCountSql, -1);
    if (tables <= 0)
        return tables == 0 ? std::optional(periods) : std::nullopt;
    SqliteStatement statement = db_.Prepare(MetersSql);
    if (!statement.Valid())
        return std::nullopt;
    statement.Bind(1, host);
    statement.Bind(2, from);
    statement.Bind(3, to);
    int result;
    while ((result = statement.Step()) == SQLITE_ROW) {
        if (!periods.empty())
            periods.back().To = std::max(from, statement.Integer(0));
        periods.push_back({{host, statement.Integer(0), statement.Text(1), statement.Text(2),
                            static_cast<std::int32_t>(statement.Integer(3))},
                           std::max(from, statement.Integer(0)),
                           to});
    }
    if (result != SQLITE_DONE) {
        db_.Fail();
        return std::nullopt;
    }
    return periods;
}

std::optional<std::vector<PatternPeriod>> LevelReader::ReadShiftPatterns(std::int64_t from, std::int64_t to) {
    std::vector<PatternPeriod> periods;
    if (!db_.IsOpen())
        return std::nullopt;
    const std::int64_t tables = db_.QueryInteger(PatternsTableCountSql, -1);
    if (tables <= 0)
        return tables == 0 ? std::optional(periods) : std::nullopt;
    SqliteStatement statement = db_.Prepare(PatternsSql);
    if (!statement.Valid())
        return std::nullopt;
    statement.Bind(1, from);
    statement.Bind(2, to);
    int result;
    while ((result = statement.Step()) == SQLITE_ROW) {
        const std::int64_t since = std::max(from, statement.Integer(0));
        if (!periods.empty())
            periods.back().To = since;
        periods.push_back({{statement.Integer(0), statement.Text(1), statement.Text(2)}, since, to});
    }
    if (result != SQLITE_DONE) {
        db_.Fail();
        return std::nullopt;
    }
    return periods;
}

std::vector<HeldValue> HeldValues(std::span<const MeterPeriod> periods,
                                  const std::function<std::string(const MeterRow&)>& value) {
    std::vector<HeldValue> held;
    for (const MeterPeriod& period : periods) {
        std::string text = value(period.Values);
        if (!held.empty() && held.back().Value == text)
            held.back().To = period.To;
        else
            held.push_back({std::move(text), period.From, period.To});
    }
    return held;
}

bool LevelReader::ForEachMinute(const MinuteQuery& query, const std::function<bool(const MinuteRow&)>& visit) {
    if (!db_.IsOpen())
        return false;
    SqliteStatement statement = db_.Prepare(query.Host ? OneHostSql : AllHostsSql);
    if (!statement.Valid())
        return false;
    statement.Bind(1, query.From);
    statement.Bind(2, query.To);
    if (query.Host)
        statement.Bind(3, *query.Host);
    MinuteRow row;
    int result;
    while ((result = statement.Step()) == SQLITE_ROW) {
        row.Host = statement.Text(0);
        row.Start = statement.Integer(1);
        row.Weighting = statement.Text(2);
        row.Samples = static_cast<std::int32_t>(statement.Integer(3));
        row.Seconds = statement.Real(4);
        row.Leq = statement.Real(5);
        row.Lmin = statement.Real(6);
        row.Lmax = statement.Real(7);
        if (!visit(row))
            return true;
    }
    return result == SQLITE_DONE || db_.Fail();
}

std::optional<std::vector<MinuteRow>> LevelReader::ReadMinutes(const MinuteQuery& query) {
    std::vector<MinuteRow> rows;
    if (!ForEachMinute(query, [&](const MinuteRow& row) {
            rows.push_back(row);
            return true;
        }))
        return std::nullopt;
    return rows;
}

std::optional<std::vector<std::string>> LevelReader::Hosts() {
    SqliteStatement statement = db_.IsOpen() ? db_.Prepare(NextHostSql) : SqliteStatement();
    if (!statement.Valid())
        return std::nullopt;
    std::vector<std::string> hosts;
    statement.Bind(1, std::int64_t{0});  // SQLite sorts every number before every text
    int result;
    while ((result = statement.Step()) == SQLITE_ROW) {
        hosts.push_back(statement.Text(0));
        statement.Reset();
        statement.Bind(1, hosts.back());
    }
    if (result != SQLITE_DONE) {
        db_.Fail();
        return std::nullopt;
    }
    return hosts;
}
