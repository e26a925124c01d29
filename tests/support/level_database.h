#pragma once
// A database of the exposure record for one test, in a fresh temporary folder removed
// afterwards (or at a path of the test's choice): made with the record's schema in
// write-ahead-log mode and filled with rows, or left for the code under test to make. Tests
// also hold it open for writing, to play another process that has it locked.

#include "record/level_schema.h"
#include "record/minute_row.h"
#include "record/sqlite_db.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace decimon::test {

class LevelDatabase {
public:
    // The database at `path`, or in the temporary folder when none is given.
    explicit LevelDatabase(std::filesystem::path path = {}) {
        std::string pattern = (std::filesystem::temp_directory_path() / "decimon-levels-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        path_ = path.empty() ? folder_ / "levels.sqlite3" : std::move(path);
    }
    ~LevelDatabase() {
        db_.Close();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    LevelDatabase(const LevelDatabase&) = delete;
    LevelDatabase& operator=(const LevelDatabase&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    const std::filesystem::path& Path() const { return path_; }

    // Makes the database (and its folder) with its table, then adds `rows`.
    void Create(std::span<const MinuteRow> rows = {}) {
        std::filesystem::create_directories(path_.parent_path());
        ASSERT_TRUE(db_.Open(Path().string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, 1000)) << db_.Error();
        ASSERT_TRUE(db_.Exec("PRAGMA journal_mode = WAL")) << db_.Error();
        ASSERT_TRUE(db_.Exec(LevelSchemaSql)) << db_.Error();
        Insert(rows);
    }

    // Adds rows in one transaction of the connection Create opened.
    void Insert(std::span<const MinuteRow> rows) {
        ASSERT_TRUE(db_.Exec("BEGIN")) << db_.Error();
        SqliteStatement insert = db_.Prepare("INSERT INTO minutes VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        ASSERT_TRUE(insert.Valid()) << db_.Error();
        for (const MinuteRow& row : rows) {
            insert.Bind(1, row.Host);
            insert.Bind(2, row.Start);
            insert.Bind(3, row.Weighting);
            insert.Bind(4, static_cast<std::int64_t>(row.Samples));
            insert.Bind(5, row.Seconds);
            insert.Bind(6, row.Leq);
            insert.Bind(7, row.Lmin);
            insert.Bind(8, row.Lmax);
            ASSERT_EQ(insert.Step(), SQLITE_DONE) << db_.Error();
            insert.Reset();
        }
        ASSERT_TRUE(db_.Exec("COMMIT")) << db_.Error();
    }

    // The connection Create opened, for statements of the test's own.
    SqliteDb& Connection() { return db_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path path_;
    SqliteDb db_;
};

// `count` whole minutes of `host` from `start` on, each at `level` with samples at one a second.
inline std::vector<MinuteRow> SteadyMinutes(const std::string& host, std::int64_t start, int count, double level,
                                            const std::string& weighting = "dBA") {
    std::vector<MinuteRow> rows;
    for (int minute = 0; minute < count; ++minute)
        rows.push_back({host, start + 60 * minute, weighting, 60, 60.0, level, level, level});
    return rows;
}

}  // namespace decimon::test
