#pragma once
// A database of the exposure record for one test, in a fresh temporary folder removed
// afterwards (or at a path of the test's choice): made and filled with rows as the display makes it, or left for the
// code under test to make. Tests also hold it open for writing, to play another program that has it locked.

#include "exposure/minute_row.h"
#include "record/level_reader.h"
#include "record/level_store.h"
#include "record/sqlite_db.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <optional>
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

    // Adds rows in one transaction as the display's writer does, making the database first
    // when it is not there.
    void Write(std::span<const MinuteRow> rows = {}) { Make(Path(), rows); }
    static void Make(const std::filesystem::path& path, std::span<const MinuteRow> rows = {}) {
        LevelStore store(path.string());
        ASSERT_TRUE(store.Write(rows)) << store.Error();
    }

    // Every minute in the database, read as the records' readers do; nothing when it cannot
    // be read.
    std::optional<std::vector<MinuteRow>> AllMinutes() const { return ReadAllMinutes(Path()); }
    // The same where the test expects it readable: a failure and no minutes when it is not.
    std::vector<MinuteRow> Minutes() const {
        std::optional<std::vector<MinuteRow>> rows = AllMinutes();
        EXPECT_TRUE(rows.has_value());
        return rows.value_or(std::vector<MinuteRow>{});
    }
    static std::optional<std::vector<MinuteRow>> ReadAllMinutes(const std::filesystem::path& path) {
        LevelReader reader(path.string());
        return reader.ReadMinutes(
            {std::nullopt, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()});
    }

    // "ok" when SQLite finds the file whole, else what it finds.
    static std::string IntegrityCheck(const std::filesystem::path& path) {
        SqliteDb db;
        if (!db.Open(path.string(), SQLITE_OPEN_READONLY, 1000))
            return db.Error();
        SqliteStatement check = db.Prepare("PRAGMA integrity_check");
        return check.Valid() && check.Step() == SQLITE_ROW ? check.Text(0) : db.Error();
    }

    // A connection of the test's own, opened at the first call, for statements the display
    // never makes (holding a lock, damaging a row).
    SqliteDb& Connection() {
        if (!db_.IsOpen()) {
            EXPECT_TRUE(db_.Open(Path().string(), SQLITE_OPEN_READWRITE, 1000)) << db_.Error();
        }
        return db_;
    }
    // Plays another program that holds the database locked: its exclusive locking mode keeps
    // every reader out for as long as the test's connection is open.
    void LockExclusively() {
        ASSERT_TRUE(Connection().Exec("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT"))
            << Connection().Error();
    }

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

// The rows of several runs of minutes, one run after the other.
inline std::vector<MinuteRow> Joined(std::initializer_list<std::vector<MinuteRow>> runs) {
    std::vector<MinuteRow> rows;
    for (const auto& run : runs)
        rows.insert(rows.end(), run.begin(), run.end());
    return rows;
}

// 2025-11-30 08:00:00 in Berlin (+01:00), when the example day begins.
inline constexpr std::int64_t BerlinEight = 1764486000;

// The example day of `host`: 4 h at 88 dBA from 08:00 in Berlin, then 4 h at 70 dBA.
inline std::vector<MinuteRow> ExampleDay(const std::string& host = "press") {
    return Joined(
        {SteadyMinutes(host, BerlinEight, 240, 88.0), SteadyMinutes(host, BerlinEight + 4 * 3600, 240, 70.0)});
}

// Every column of `got` as in `expected`, the Leq to within `leqTolerance`.
inline void ExpectMinute(const MinuteRow& got, const MinuteRow& expected, double leqTolerance = 0.0) {
    EXPECT_EQ(got.Host, expected.Host);
    EXPECT_EQ(got.Start, expected.Start);
    EXPECT_EQ(got.Weighting, expected.Weighting);
    EXPECT_EQ(got.Samples, expected.Samples);
    EXPECT_EQ(got.Seconds, expected.Seconds);
    EXPECT_NEAR(got.Leq, expected.Leq, leqTolerance);
    EXPECT_EQ(got.Lmin, expected.Lmin);
    EXPECT_EQ(got.Lmax, expected.Lmax);
}

}  // namespace decimon::test
