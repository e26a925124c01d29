// The record's database as its writer makes, fills, trims and recovers it.
#include "record/level_store.h"

#include "record/level_schema.h"
#include "tests/support/case_name.h"
#include "tests/support/fake_clocks.h"
#include "tests/support/level_database.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace decimon::test;
namespace fs = std::filesystem;

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC

class Store : public ::testing::Test {
protected:
    const FakeClocks clocks_{Noon + 5};  // in UTC: the names of files moved aside read 12:00:05
    LevelDatabase database_;
};

TEST_F(Store, MakesFoldersFileAndTableAsDocumented) {
    const fs::path path = database_.Folder() / "data" / "Corvanta" / "levels.sqlite3";
    LevelStore store(path.string());
    ASSERT_TRUE(store.Write(SteadyMinutes("press", Noon, 2, 85.0))) << store.Error();
    EXPECT_EQ(XdgSandbox::Mode(database_.Folder() / "data"), 0700u);
    EXPECT_EQ(XdgSandbox::Mode(path.parent_path()), 0700u);
    EXPECT_EQ(XdgSandbox::Mode(path), 0600u);
    EXPECT_EQ(XdgSandbox::Mode(path.string() + "-wal"), 0600u) << "the log holds the levels too";
    store.Close();

    SqliteDb db;
    ASSERT_TRUE(db.Open(path.string(), SQLITE_OPEN_READONLY, 100));
    SqliteStatement schema = db.Prepare("SELECT sql || ';' || char(10) FROM sqlite_master ORDER BY rowid");
    std::string tables;
    while (schema.Step() == SQLITE_ROW)
        tables += schema.Text(0);
    EXPECT_EQ(tables, std::string(MinutesTableSql) + MetersTableSql + ShiftPatternsTableSql)
        << "stored as written, comments and all";
    EXPECT_EQ(db.QueryInteger("PRAGMA user_version", -1), 3);
    SqliteStatement journal = db.Prepare("PRAGMA journal_mode");
    ASSERT_EQ(journal.Step(), SQLITE_ROW);
    EXPECT_EQ(journal.Text(0), "wal");
    EXPECT_EQ(LevelDatabase::ReadAllMinutes(path)->size(), 2u);
}

TEST(Schema, IsTheOneTheAdminGuideDocuments) {
    std::ifstream guide(std::string(DECIMON_SOURCE_DIR) + "/docs/admin/record.md");
    ASSERT_TRUE(guide.is_open());
    std::string text((std::istreambuf_iterator<char>(guide)), std::istreambuf_iterator<char>());
    std::string indented;  // as a code block: each line indented by four blanks
    const std::string schema = LevelSchemaSql;
    for (std::size_t line = 0; line < schema.size();) {
        const std::size_t end = schema.find('\n', line);
        indented += "    " + schema.substr(line, end + 1 - line);
        line = end + 1;
    }
    EXPECT_NE(text.find(indented), std::string::npos) << "the administrator's guide lacks:\n" << indented;
}

TEST_F(Store, MergesTheTwoPartsOfAMinute) {
    LevelStore store(database_.Path().string());
    ASSERT_TRUE(store.Write(std::vector<MinuteRow>{{"press", Noon, "dBA", 20, 20.0, 90.0, 85.0, 95.0}}));
    ASSERT_TRUE(store.Write(std::vector<MinuteRow>{{"press", Noon, "dBA", 10, 10.0, 70.0, 70.0, 72.0},
                                                   {"other", Noon, "dBC", 5, 5.0, 60.0, 60.0, 60.0}}));
    const std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 2u);
    ExpectMinute(rows[1], {"press", Noon, "dBA", 30, 30.0, 88.26, 70.0, 95.0}, 0.01);
}

// Before the time and before the newest days with minutes, both.
TEST_F(Store, DeletesTheMinutesBeforeATimeAndTheDaysToKeep) {
    constexpr std::int64_t Day = 86400;
    database_.Write(Joined({SteadyMinutes("press", Noon - 2 * Day, 1, 80.0),
                            SteadyMinutes("press", Noon - Day, 1, 80.0), SteadyMinutes("press", Noon - 60, 2, 80.0)}));
    LevelStore store(database_.Path().string());
    ASSERT_TRUE(store.DeleteBefore(Noon, 2));
    std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows.front().Start, Noon - Day);
    ASSERT_TRUE(store.DeleteBefore(Noon, 1));
    rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows.front().Start, Noon - 60);
}

TEST_F(Store, ALockHeldByAnotherProgramFailsTheWriteAndTheNextSucceeds) {
    database_.Write(SteadyMinutes("press", Noon - 60, 1, 80.0));
    ASSERT_TRUE(database_.Connection().Exec("BEGIN IMMEDIATE"));
    LevelStore store(database_.Path().string());
    const std::vector<MinuteRow> minute = SteadyMinutes("press", Noon, 1, 85.0);
    EXPECT_FALSE(store.Write(minute));
    EXPECT_NE(store.Error().find("locked"), std::string::npos) << store.Error();
    ASSERT_TRUE(database_.Connection().Exec("COMMIT"));
    EXPECT_TRUE(store.Write(minute)) << store.Error();
    EXPECT_EQ(database_.Minutes().size(), 2u);
    EXPECT_EQ(store.TakeMovedAside(), "") << "a locked file is not a damaged one";
}

struct FolderCase {
    const char* name;
    const char* blocker;  // a regular file where a folder would have to be
    const char* path;     // below the test's folder; empty: no path at all
    const char* error;
};

class StoreFolders : public Store, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(StoreFolders, AFolderThatCannotBeMadeIsReported) {
    const FolderCase& c = GetParam();
    if (c.blocker[0] != '\0')
        XdgSandbox::WriteFile(database_.Folder() / c.blocker, "x");
    LevelStore store(c.path[0] ? (database_.Folder() / c.path).string() : std::string());
    EXPECT_FALSE(store.Write(SteadyMinutes("press", Noon, 1, 85.0)));
    EXPECT_NE(store.Error().find(c.error), std::string::npos) << store.Error();
}

INSTANTIATE_TEST_SUITE_P(Paths, StoreFolders,
                         ::testing::Values(FolderCase{"FileInTheWay", "data", "data/Decimon/levels.sqlite3",
                                                      "Not a directory"},
                                           FolderCase{"FileIsAFolder", "", "levels.sqlite3/", "Is a directory"},
                                           FolderCase{"NoDataHome", "", "", "XDG_DATA_HOME"}),
                         CaseName());

TEST_F(Store, ADatabaseOfAnotherLayoutIsLeftAlone) {
    database_.Write(SteadyMinutes("press", Noon, 1, 85.0));
    ASSERT_TRUE(database_.Connection().Exec("PRAGMA user_version = 4"));
    LevelStore store(database_.Path().string());
    EXPECT_FALSE(store.Write(SteadyMinutes("press", Noon + 60, 1, 85.0)));
    EXPECT_NE(store.Error().find("version 4"), std::string::npos) << store.Error();
    EXPECT_EQ(store.TakeMovedAside(), "");
}

// A file another program or an earlier fault left: the writer makes it whole, or leaves it as
// it was when it cannot and makes it whole once the fault is gone.
struct LeftFileCase {
    const char* name;
    bool (*leave)(SqliteDb& other);  // run on an empty file by another program that stays
    bool firstWriteFails;
    const char* clear;  // what the other program runs then to clear the fault, if anything
};

class StoreLeftFiles : public Store, public ::testing::WithParamInterface<LeftFileCase> {};

TEST_P(StoreLeftFiles, AreMadeWholeWithTheSchemaAndTheLog) {
    const LeftFileCase& c = GetParam();
    XdgSandbox::WriteFile(database_.Path(), "");
    SqliteDb& other = database_.Connection();
    ASSERT_TRUE(c.leave(other)) << other.Error();
    const std::int64_t version = other.QueryInteger("PRAGMA user_version", -1);
    LevelStore store(database_.Path().string());
    const std::vector<MinuteRow> minute = SteadyMinutes("press", Noon, 1, 85.0);
    ASSERT_EQ(store.Write(minute), !c.firstWriteFails) << store.Error();
    if (c.firstWriteFails) {
        EXPECT_EQ(other.QueryInteger("PRAGMA user_version", -1), version) << "a failed write left its mark";
    }
    if (c.clear) {
        ASSERT_TRUE(other.Exec(c.clear)) << other.Error();
    }
    other.Close();

    if (c.firstWriteFails) {
        ASSERT_TRUE(store.Write(minute)) << store.Error();
    }
    EXPECT_EQ(database_.Minutes().size(), 1u);
    EXPECT_EQ(database_.Connection().QueryInteger("PRAGMA user_version", -1), LevelSchemaVersion);
    EXPECT_TRUE(store.WriteMeters(std::vector<MeterRow>{{"press", Noon, "sl-3", "hall 3", 0}})) << store.Error();
    EXPECT_TRUE(store.WriteShiftPattern({Noon, "06:00-18:00,18:00-06:00", ""})) << store.Error();
    SqliteStatement journal = database_.Connection().Prepare("PRAGMA journal_mode");
    ASSERT_EQ(journal.Step(), SQLITE_ROW);
    EXPECT_EQ(journal.Text(0), "wal") << "a connection was used half set up";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoreLeftFiles,
    ::testing::Values(
        // An older build stopped between the version and the table (a full disk, a kill).
        LeftFileCase{"VersionWithoutTable", [](SqliteDb& db) { return db.Exec("PRAGMA user_version = 1"); }, false,
                     nullptr},
        // A record of version 1 as the display made it until the meters were recorded, with the
        // minute that is written again: upgraded, the minute kept and merged.
        LeftFileCase{"VersionOneIsUpgraded",
                     [](SqliteDb& db) {
                         return db.Exec(("PRAGMA user_version = 1;\n" + std::string(MinutesTableSql)).c_str()) &&
                                db.Exec("INSERT INTO minutes VALUES ('press', 1764676800, 'dBA', 1, 30, 80, 80, 80)");
                     },
                     false, nullptr},
        // A record of version 2 as the display made it until the shift patterns were recorded.
        LeftFileCase{
            "VersionTwoIsUpgraded",
            [](SqliteDb& db) {
                return db.Exec(
                           ("PRAGMA user_version = 2;\n" + std::string(MinutesTableSql) + MetersTableSql).c_str()) &&
                       db.Exec("INSERT INTO minutes VALUES ('press', 1764676800, 'dBA', 1, 30, 80, 80, 80)");
            },
            false, nullptr},
        // The table cannot be made: the version must not be set without it.
        LeftFileCase{"TableCannotBeMade", [](SqliteDb& db) { return db.Exec("CREATE VIEW minutes AS SELECT 1"); }, true,
                     "DROP VIEW minutes"},
        // A file without the log, locked while the writer sets its connection up.
        LeftFileCase{"LockedWhileSettingUp",
                     [](SqliteDb& db) {
                         return db.Exec(LevelSchemaSql) &&
                                db.Exec("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT");
                     },
                     true, nullptr}),
    CaseName());

// Damage done to a file that held two minutes: the writer moves it aside and starts anew.
struct DamageCase {
    const char* name;
    void (*damage)(const fs::path& file);
};

void Overwrite(const fs::path& file, std::streamoff at, const std::string& bytes) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(at);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class StoreDamage : public Store, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(StoreDamage, MovesTheFileAsideAndStartsANewOne) {
    database_.Write(SteadyMinutes("press", Noon - 7200, 100, 80.0));
    database_.Connection().Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    database_.Connection().Close();
    GetParam().damage(database_.Path());
    const std::string damaged = XdgSandbox::ReadFile(database_.Path());

    LevelStore store(database_.Path().string());
    ASSERT_TRUE(store.Write(SteadyMinutes("press", Noon, 1, 85.0))) << store.Error();
    const std::string aside = database_.Path().string() + ".corrupt-20251202-120005";
    EXPECT_EQ(store.TakeMovedAside(), aside);
    EXPECT_EQ(XdgSandbox::ReadFile(aside), damaged) << "the damaged file is kept as it was";
    EXPECT_EQ(database_.Minutes().size(), 1u) << "the new file holds the new minute alone";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoreDamage,
    ::testing::Values(
        DamageCase{"NotADatabase", [](const fs::path& file) { XdgSandbox::WriteFile(file, std::string(5000, 'x')); }},
        DamageCase{"DamagedHeader", [](const fs::path& file) { Overwrite(file, 0, "SQLite format 9"); }},
        // The second page, a page of the table, overwritten in its middle.
        DamageCase{"DamagedPage", [](const fs::path& file) { Overwrite(file, 4096 + 8, std::string(2000, '\xff')); }}),
    CaseName());

TEST_F(Store, ASecondDamageOnTheSameSecondGetsItsOwnName) {
    const std::string first = database_.Path().string() + ".corrupt-20251202-120005";
    XdgSandbox::WriteFile(first, "earlier");
    XdgSandbox::WriteFile(database_.Path(), std::string(5000, 'x'));
    LevelStore store(database_.Path().string());
    ASSERT_TRUE(store.Open()) << store.Error();
    EXPECT_EQ(store.TakeMovedAside(), first + "-2");
    EXPECT_EQ(XdgSandbox::ReadFile(first), "earlier");
}

}  // namespace
