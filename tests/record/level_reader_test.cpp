// The reader of the exposure record against databases made with the record's schema.
#include "record/level_reader.h"

#include "record/level_schema.h"
#include "tests/support/level_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace decimon::test;

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC

std::vector<std::int64_t> Starts(const std::vector<MinuteRow>& rows) {
    std::vector<std::int64_t> starts;
    for (const MinuteRow& row : rows)
        starts.push_back(row.Start);
    return starts;
}

class Reader : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<MinuteRow> rows = Joined(
            {SteadyMinutes("press", Noon, 5, 88.0), SteadyMinutes("127.0.0.1:16161", Noon + 120, 3, 70.0, "dBC")});
        rows.push_back(Odd);
        database_.Write(rows);
    }

    std::optional<std::vector<MinuteRow>> Read(std::optional<std::string> host, std::int64_t from, std::int64_t to) {
        LevelReader reader(database_.Path().string());
        EXPECT_TRUE(reader.IsOpen()) << reader.Error();
        return reader.ReadMinutes({std::move(host), from, to});
    }

    // A minute unlike the others: another weighting, few polls, three different levels.
    static inline const MinuteRow Odd{"press", Noon - 60, "---", 17, 17.0, 91.25, 80.5, 99.75};
    LevelDatabase database_;
};

struct RangeCase {
    const char* host;  // null: every host
    std::int64_t from;
    std::int64_t to;
    std::vector<std::int64_t> starts;
};

class ReaderRanges : public Reader, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(ReaderRanges, ReadsTheMinutesStartingInTheRangeInOrder) {
    const RangeCase& c = GetParam();
    const auto rows = Read(c.host ? std::optional<std::string>(c.host) : std::nullopt, c.from, c.to);
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(Starts(*rows), c.starts);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ReaderRanges,
    ::testing::Values(
        RangeCase{"press", Noon - 60, Noon + 300, {Noon - 60, Noon, Noon + 60, Noon + 120, Noon + 180, Noon + 240}},
        RangeCase{"press", Noon, Noon + 120, {Noon, Noon + 60}},  // the end is not included
        RangeCase{"press", Noon + 1, Noon + 61, {Noon + 60}}, RangeCase{"press", Noon + 300, Noon + 6000, {}},
        RangeCase{"nobody", Noon - 600, Noon + 600, {}},
        RangeCase{"127.0.0.1:16161", 0, Noon + 600, {Noon + 120, Noon + 180, Noon + 240}},
        // Every host's: host by host, each in order of start.
        RangeCase{nullptr, Noon + 120, Noon + 240, {Noon + 120, Noon + 180, Noon + 120, Noon + 180}}));

TEST_F(Reader, ReadsEveryColumnAsStored) {
    const auto rows = Read("press", Noon - 60, Noon);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 1u);
    ExpectMinute(rows->front(), Odd);
}

TEST_F(Reader, ReadsWhileAWriterHoldsAnOpenTransaction) {
    SqliteDb& writer = database_.Connection();
    ASSERT_TRUE(writer.Exec("BEGIN IMMEDIATE"));
    ASSERT_TRUE(writer.Exec("INSERT INTO minutes VALUES ('press', 1764677100, 'dBA', 60, 60.0, 90, 90, 90)"));
    const auto during = Read("press", Noon, Noon + 600);
    ASSERT_TRUE(during.has_value());
    EXPECT_EQ(during->size(), 5u) << "the minute not yet committed is not seen";
    ASSERT_TRUE(writer.Exec("COMMIT"));
    EXPECT_EQ(Read("press", Noon, Noon + 600)->size(), 6u);
}

TEST(ReaderFaults, AMissingDatabaseIsNotMade) {
    LevelDatabase database;
    LevelReader reader(database.Path().string());
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.Error().empty());
    EXPECT_FALSE(reader.ReadMinutes({std::nullopt, 0, Noon}).has_value());
    EXPECT_FALSE(std::filesystem::exists(database.Path()));
}

TEST(ReaderFaults, AFileWithoutTheTableCannotBeRead) {
    LevelDatabase database;
    SqliteDb other;
    ASSERT_TRUE(other.Open(database.Path().string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, 100));
    ASSERT_TRUE(other.Exec("CREATE TABLE something (x)"));
    LevelReader reader(database.Path().string());
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_FALSE(reader.ReadMinutes({std::nullopt, 0, Noon}).has_value());
    EXPECT_NE(reader.Error().find("minutes"), std::string::npos) << reader.Error();
}

TEST(ReaderFaults, ARecordOfANewerLayoutIsRefusedInOneLine) {
    LevelDatabase database;
    database.Write(SteadyMinutes("press", Noon, 1, 80.0));
    ASSERT_TRUE(database.Connection().Exec("PRAGMA user_version = 4"));
    LevelReader reader(database.Path().string());
    EXPECT_FALSE(reader.ReadMinutes({std::nullopt, 0, Noon + 60}).has_value());
    EXPECT_EQ(reader.Error(), "the record has a newer layout (version 4) than this program reads (version 3)");
}

// The meter's values as the display noted them: a change of offset within the period, the
// name and location held throughout; what came before the period only as its first values.
TEST_F(Reader, ReadsTheMeterValuesAndTheTimesTheyHeld) {
    LevelStore store(database_.Path().string());
    ASSERT_TRUE(store.WriteMeters(std::vector<MeterRow>{{"press", Noon - 7200, "sl-3", "hall 3", 0},
                                                        {"press", Noon - 3600, "sl-3", "hall 3", -2},
                                                        {"press", Noon - 60, "sl-3", "hall 3", -2},
                                                        {"press", Noon + 600, "sl-3", "hall 3", 1},
                                                        {"other", Noon, "x", "y", 0}}))
        << store.Error();
    LevelReader reader(database_.Path().string());
    const auto periods = reader.ReadMeters("press", Noon, Noon + 3600);
    ASSERT_TRUE(periods.has_value()) << reader.Error();
    const auto offsets = HeldValues(*periods, [](const MeterRow& m) { return std::to_string(m.LevelOffset); });
    const auto names = HeldValues(*periods, [](const MeterRow& m) { return m.Name + ", " + m.Location; });
    ASSERT_EQ(offsets.size(), 2u);
    EXPECT_EQ(offsets[0].Value + "@" + std::to_string(offsets[0].From - Noon), "-2@0");
    EXPECT_EQ(offsets[1].Value + "@" + std::to_string(offsets[1].From - Noon), "1@600");
    EXPECT_EQ(offsets[0].To, offsets[1].From);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].Value, "sl-3, hall 3");
    EXPECT_EQ(names[0].To, Noon + 3600);
}

// The shifts in force at the period's start and each change within it; the same shifts noted
// again (a restart) make no new row.
TEST_F(Reader, ReadsTheShiftPatternsAndTheTimesTheyHeld) {
    LevelStore store(database_.Path().string());
    for (const ShiftPatternRow& row : {ShiftPatternRow{Noon - 7200, "06:00-14:00", ""},
                                       ShiftPatternRow{Noon - 3600, "06:00-18:00", "the setting Shifts is not used"},
                                       ShiftPatternRow{Noon + 60, "06:00-18:00", "the setting Shifts is not used"},
                                       ShiftPatternRow{Noon + 600, "08:00-16:00", ""}})
        ASSERT_TRUE(store.WriteShiftPattern(row)) << store.Error();
    LevelReader reader(database_.Path().string());
    const auto periods = reader.ReadShiftPatterns(Noon, Noon + 3600);
    ASSERT_TRUE(periods.has_value()) << reader.Error();
    std::string held;
    for (const PatternPeriod& period : *periods)
        held += period.Values.Shifts + " " + std::to_string(period.From - Noon) + ".." +
                std::to_string(period.To - Noon) + (period.Values.Rejected.empty() ? "" : " rejected") + "; ";
    EXPECT_EQ(held, "06:00-18:00 0..600 rejected; 08:00-16:00 600..3600; ");
}

struct PathCase {
    const char* dataHome;  // null: unset
    const char* home;
    const char* expected;
};

class DefaultPath : public ::testing::TestWithParam<PathCase> {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    static void Set(const char* name, const char* value) { value ? setenv(name, value, 1) : unsetenv(name); }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_P(DefaultPath, FollowsTheXdgDataHome) {
    Set("XDG_DATA_HOME", GetParam().dataHome);
    Set("HOME", GetParam().home);
    EXPECT_EQ(DefaultLevelDatabasePath(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environment, DefaultPath,
    ::testing::Values(PathCase{"/srv/data", "/home/wall", "/srv/data/Corvanta/Decimon/levels.sqlite3"},
                      PathCase{nullptr, "/home/wall", "/home/wall/.local/share/Corvanta/Decimon/levels.sqlite3"},
                      PathCase{"", "/home/wall", "/home/wall/.local/share/Corvanta/Decimon/levels.sqlite3"},
                      PathCase{"data", "/home/wall", "/home/wall/.local/share/Corvanta/Decimon/levels.sqlite3"},
                      PathCase{nullptr, nullptr, ""}, PathCase{nullptr, "relative", ""}));

}  // namespace
