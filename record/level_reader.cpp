#include "record/level_reader.h"

namespace {

// In the primary key's order: the rows stream from its index, with no sort.
constexpr char AllHostsSql[] = "SELECT host, start, weighting, samples, seconds, leq, lmin, lmax FROM minutes "
                               "WHERE start >= ?1 AND start < ?2 ORDER BY host, start";
constexpr char OneHostSql[] = "SELECT host, start, weighting, samples, seconds, leq, lmin, lmax FROM minutes "
                              "WHERE host = ?3 AND start >= ?1 AND start < ?2 ORDER BY start";

}  // namespace

LevelReader::LevelReader(const std::string& path, int busyTimeoutMs) {
    db_.Open(path, SQLITE_OPEN_READONLY, busyTimeoutMs);
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
