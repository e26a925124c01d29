// The recorder with its writer thread: minutes written as they end (by the next poll or by the
// clock), faults reported once and the minutes kept for the next try, at most 24 h of them,
// and the old minutes trimmed.
#include "record/level_recorder.h"

#include "record/level_reader.h"

#include "record/level_schema.h"
#include "record/record_lock.h"

#include "tests/support/fake_clocks.h"
#include "tests/support/level_database.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace decimon::test;
using namespace std::chrono_literals;

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC
constexpr std::int64_t Day = 86400;
constexpr std::int32_t KeepDays = 1096;

// The lines the recorder reports, kept as long as a writer left behind may still report.
struct ReportedLines {
    std::mutex lock;
    std::vector<std::string> lines;
};

class Recorder : public ::testing::Test {
protected:
    void Start(const std::filesystem::path& path) {
        recorder_ = LevelRecorder::Start(path.string(), KeepDays, [lines = reported_](const std::string& line) {
            std::lock_guard lock(lines->lock);
            lines->lines.push_back(line);
        });
        ASSERT_NE(recorder_, nullptr);
    }
    void Start() { Start(database_.Path()); }

    // One sample a second of `level` through `minutes` whole minutes from `start` on.
    void Feed(std::int64_t start, int minutes, double level, const std::string& host = "press") {
        for (std::int64_t second = 0; second < minutes * 60; ++second)
            recorder_->AddSample(start + second, host, "dBA", level, 1);
    }

    void WaitIdle() {
        ASSERT_TRUE(WaitUntil([&] { return recorder_->Idle(); })) << "the writer never caught up";
    }

    std::vector<std::string> Reported() {
        std::lock_guard lock(reported_->lock);
        return reported_->lines;
    }

    FakeClocks clocks_{Noon};
    LevelDatabase database_;
    std::shared_ptr<ReportedLines> reported_ = std::make_shared<ReportedLines>();
    std::unique_ptr<LevelRecorder> recorder_;
};

TEST_F(Recorder, WritesEachMinuteWhenTheNextBegins) {
    Start();
    Feed(Noon, 2, 80.0);
    WaitIdle();
    std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 1u) << "the second minute is still under way";
    EXPECT_EQ(rows[0].Start, Noon);
    EXPECT_EQ(rows[0].Samples, 60);
    EXPECT_EQ(rows[0].Seconds, 60.0);
    EXPECT_DOUBLE_EQ(rows[0].Leq, 80.0);
    recorder_->FinishMinute();
    WaitIdle();
    EXPECT_EQ(database_.Minutes().size(), 2u);
    EXPECT_TRUE(Reported().empty());
}

// A meter that falls silent: each minute is written a moment after its turn, the next one
// with the part of the last poll's span that falls in it.
TEST_F(Recorder, WritesTheMinutesByTheClockWhenNoPollComes) {
    Start();
    for (std::int64_t at = Noon + 8; at < Noon + 60; at += 5)
        recorder_->AddSample(at, "press", "dBA", 80.0, 5);
    clocks_.SetWallClock(Noon + 60 + LevelRecorder::EndGraceSeconds);
    std::vector<MinuteRow> rows;
    ASSERT_TRUE(WaitUntil([&] {
        return (rows = database_.AllMinutes().value_or(std::vector<MinuteRow>{})).size() == 1;
    })) << "never written";
    ExpectMinute(rows[0], {"press", Noon, "dBA", 11, 52.0, 80.0, 80.0, 80.0});
    clocks_.SetWallClock(Noon + 120 + LevelRecorder::EndGraceSeconds);
    ASSERT_TRUE(WaitUntil([&] { return (rows = database_.Minutes()).size() == 2; })) << "never written";
    ExpectMinute(rows[1], {"press", Noon + 60, "dBA", 0, 3.0, 80.0, 80.0, 80.0});
}

TEST_F(Recorder, ARecordOfVersionOneIsUpgradedAtTheStart) {
    XdgSandbox::WriteFile(database_.Path(), "");
    SqliteDb& older = database_.Connection();
    ASSERT_TRUE(older.Exec(("PRAGMA user_version = 1;\n" + std::string(MinutesTableSql)).c_str()));
    older.Close();
    Start();
    EXPECT_TRUE(WaitUntil([&] {
        return database_.Connection().QueryInteger("PRAGMA user_version", -1) == LevelSchemaVersion;
    })) << "not upgraded before any minute came";
}

// The meters' values that cannot be written (their table dropped by hand) never hold up the
// minutes, nor are the minutes written twice while the values wait.
TEST_F(Recorder, MeterValuesThatCannotBeWrittenLeaveTheMinutesWritten) {
    database_.Write();
    ASSERT_TRUE(database_.Connection().Exec("DROP TABLE meters"));
    database_.Connection().Close();
    Start();
    recorder_->NoteMeter(Noon, "press", "sl-3", "hall 3", 0);
    Feed(Noon, 3, 80.0);
    WaitIdle();
    clocks_.Advance(LevelRecorder::RetryInterval);
    Feed(Noon + 180, 1, 80.0);
    WaitIdle();
    const std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Samples, 60) << "a minute written twice";
    ASSERT_EQ(Reported().size(), 1u);
    EXPECT_NE(Reported()[0].find("meters"), std::string::npos) << Reported()[0];
}

// The site's shifts go with the next minutes; of two notes before a write the later stands.
TEST_F(Recorder, WritesTheShiftsNotedWithTheNextMinutes) {
    Start();
    recorder_->NoteShiftPattern(Noon, "06:00-14:00", "");
    recorder_->NoteShiftPattern(Noon + 1, "06:00-18:00,18:00-06:00", "");
    Feed(Noon, 3, 80.0);
    WaitIdle();
    LevelReader reader(database_.Path().string());
    const auto periods = reader.ReadShiftPatterns(Noon, Noon + 3600);
    ASSERT_TRUE(periods.has_value()) << reader.Error();
    ASSERT_EQ(periods->size(), 1u);
    EXPECT_EQ(periods->front().Values.Shifts + "@" + std::to_string(periods->front().From - Noon),
              "06:00-18:00,18:00-06:00@1");
}

TEST_F(Recorder, StopWritesTheMinuteUnderWay) {
    Start();
    for (int second = 0; second < 10; ++second)
        recorder_->AddSample(Noon + second, "press", "dBC", 90.0, 1);
    // Before it is written it counts on the history screen: of its host only.
    const std::vector<MinuteRow> underWay = recorder_->UnwrittenMinutes("press");
    ASSERT_EQ(underWay.size(), 1u);
    EXPECT_EQ(underWay[0].Samples, 10);
    EXPECT_TRUE(recorder_->UnwrittenMinutes("hall").empty());
    recorder_->Stop(Scaled(5000ms));
    const std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Samples, 10);
    EXPECT_EQ(rows[0].Weighting, "dBC");
}

TEST_F(Recorder, ALockedDatabaseIsReportedOnceAndItsMinutesWrittenLater) {
    // A first minute written, and with it the day's trim: a trim after the retry below could
    // otherwise meet the lock that the test takes next.
    Start();
    Feed(Noon, 2, 85.0);
    WaitIdle();
    ASSERT_TRUE(database_.Connection().Exec("BEGIN IMMEDIATE"));
    Feed(Noon + 120, 3, 85.0);
    WaitIdle();
    EXPECT_EQ(recorder_->PendingRows(), 3u);
    ASSERT_TRUE(database_.Connection().Exec("COMMIT"));
    const std::vector<std::string> lines = Reported();
    ASSERT_EQ(lines.size(), 1u) << "one line, not one a minute";
    EXPECT_NE(lines[0].find("locked"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(database_.Path().string()), std::string::npos) << lines[0];

    // Tried again within a minute on the writer's own, without another minute coming.
    clocks_.Advance(LevelRecorder::RetryInterval);
    ASSERT_TRUE(WaitUntil([&] { return database_.Minutes().size() == 4; })) << "the kept minutes were not retried";
    EXPECT_EQ(recorder_->PendingRows(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return Reported().size() == 2; })) << "no line for the recovery";
    EXPECT_NE(Reported()[1].find("again; 3 minutes written"), std::string::npos) << Reported()[1];

    // A fault after the record worked again is a new fault: reported again.
    ASSERT_TRUE(database_.Connection().Exec("BEGIN IMMEDIATE"));
    Feed(Noon + 600, 2, 85.0);
    WaitIdle();
    ASSERT_TRUE(database_.Connection().Exec("COMMIT"));
    EXPECT_EQ(Reported().size(), 3u);
}

TEST_F(Recorder, HoldsAtMostADayOfUnwrittenMinutesTheNewest) {
    const std::filesystem::path blocker = database_.Folder() / "data";
    XdgSandbox::WriteFile(blocker, "a file where the folder should be");
    Start(blocker / "levels.sqlite3");
    const int minutes = 1500;
    for (int minute = 0; minute < minutes; ++minute)
        recorder_->AddSample(Noon + 60 * minute, "press", "dBA", 80.0, 60);
    WaitIdle();
    EXPECT_EQ(recorder_->PendingRows(), LevelRecorder::MaxPendingMinutes);
    EXPECT_EQ(Reported().size(), 1u);

    // A new reason is said; the record working again is said with what was written.
    std::filesystem::remove(blocker);
    std::filesystem::create_directories(blocker / "levels.sqlite3");
    clocks_.Advance(LevelRecorder::RetryInterval);
    ASSERT_TRUE(WaitUntil([&] { return Reported().size() == 2; })) << "the changed reason was not said";
    EXPECT_NE(Reported()[1].find("Is a directory"), std::string::npos) << Reported()[1];
    std::filesystem::remove(blocker / "levels.sqlite3");
    recorder_->FinishMinute();
    WaitIdle();
    ASSERT_EQ(Reported().size(), 3u);
    EXPECT_NE(Reported()[2].find("again; 1440 minutes written"), std::string::npos) << Reported()[2];
    const auto rows = LevelDatabase::ReadAllMinutes(blocker / "levels.sqlite3");
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), LevelRecorder::MaxPendingMinutes);
    EXPECT_EQ(rows->front().Start, Noon + 60 * (minutes - 1440)) << "the oldest went first";
    EXPECT_EQ(rows->back().Start, Noon + 60 * (minutes - 1));
}

// A minute a day, at noon, on each of the `count` days before Noon's.
std::vector<MinuteRow> DailyMinutes(std::int64_t count) {
    std::vector<MinuteRow> rows;
    for (std::int64_t day = count; day >= 1; --day)
        rows.push_back(SteadyMinutes("press", Noon - day * Day, 1, 70.0)[0]);
    return rows;
}

TEST_F(Recorder, TrimsMinutesOlderThan1096DaysOnceADay) {
    const std::int64_t limit = Noon - KeepDays * Day;
    database_.Write(SteadyMinutes("press", limit - 60, 2, 70.0));  // one minute past the limit
    database_.Write(DailyMinutes(KeepDays - 1));
    database_.Write(SteadyMinutes("press", Noon - 60, 1, 75.0));  // the last one before the start
    Start();
    Feed(Noon, 2, 80.0);
    WaitIdle();
    EXPECT_EQ(database_.Minutes().front().Start, limit);

    database_.Write(SteadyMinutes("press", limit - 600, 1, 70.0));
    recorder_->FinishMinute();
    WaitIdle();
    EXPECT_EQ(database_.Minutes().front().Start, limit - 600) << "trimmed once a day, not at every minute";

    clocks_.Advance(24h);
    Feed(Noon + Day, 1, 80.0);
    recorder_->FinishMinute();
    WaitIdle();
    EXPECT_EQ(database_.Minutes().front().Start, Noon - (KeepDays - 1) * Day)
        << "a day later the limit moved on by a day";
}

// A wall clock years ahead, at a start or while the display runs, never deletes a minute that
// the right time keeps, nor one of the newest KeepDays days with minutes, even when an earlier
// run ahead left minutes that mislead the trim's time; a record past the clock is said once a run.
TEST_F(Recorder, AClockYearsAheadDeletesNothingTheRightTimeOrTheDaysToKeepKeep) {
    constexpr std::int64_t Ahead = 3652 * Day;
    database_.Write(DailyMinutes(1095));  // the right-clock runs before
    const struct {
        int daysOn;  // real time passing before the step
        std::int64_t wallAhead;
        bool start;  // the display starts (again) at the step
        std::int64_t oldest;
        bool said;  // the record reaches past the clock
        const char* what;
    } steps[] = {
        {0, 0, true, Noon - 1095 * Day, false, "a start with the right time"},
        {1, Ahead, true, Noon - 1095 * Day, false, "ahead at a start: bound by the newest minute"},
        {1, 0, true, Noon - 1094 * Day, true, "a start with the right time between"},
        {1, Ahead, true, Noon - 1092 * Day, false, "ahead at a start again: the two oldest of 1,098 days go"},
        {1, 0, true, Noon - 1092 * Day, true, "a start with the right time after"},
        {1, Ahead, false, Noon - 1091 * Day, false, "set ahead while running: a day on by the monotonic clock"},
    };
    std::int64_t now = Noon;  // the right time
    std::size_t said = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        now += step.daysOn * Day;
        clocks_.Advance(std::chrono::hours(24 * step.daysOn));
        clocks_.SetWallClock(now + step.wallAhead);
        if (step.start) {
            recorder_.reset();
            Start();
        }
        Feed(now + step.wallAhead, 1, 80.0);
        recorder_->FinishMinute();
        WaitIdle();
        EXPECT_EQ(database_.Minutes().front().Start, step.oldest);
        const std::vector<std::string> lines = Reported();
        said += step.said ? 1 : 0;
        ASSERT_EQ(lines.size(), said);
        if (step.said) {
            EXPECT_NE(lines.back().find("later than the clock"), std::string::npos) << lines.back();
        }
    }
}

// A restart an hour behind meets minutes already stored: the louder of each is kept as it
// was, and one line says how many once the clock has passed them.
TEST_F(Recorder, AClockBackKeepsTheLouderOfEachMinuteMeasuredTwice) {
    const MinuteRow loud{"press", Noon, "dBA", 59, 59.0, 90.0, 90.0, 90.0};
    database_.Write(Joined({{loud}, SteadyMinutes("press", Noon + 60, 1, 70.0)}));
    Start();
    Feed(Noon, 2, 80.0);
    recorder_->FinishMinute();
    WaitIdle();
    EXPECT_TRUE(Reported().empty()) << "said once the clock has passed them";
    Feed(Noon + 120, 1, 80.0);
    recorder_->Stop(Scaled(5000ms));
    const std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 3u);
    ExpectMinute(rows[0], loud);
    ExpectMinute(rows[1], SteadyMinutes("press", Noon + 60, 1, 80.0)[0]);
    ASSERT_EQ(Reported().size(), 1u);
    EXPECT_NE(Reported()[0].find("decimon: 2 minutes of levels already in"), std::string::npos) << Reported()[0];
}

// The record's file taken from its path while the display records: what was written stays in
// the file that left, one line says so, and the minutes go on at the path.
TEST_F(Recorder, ARecordThatLeavesItsPathGoesOnThere) {
    namespace fs = std::filesystem;
    const fs::path folder = database_.Folder() / "Decimon";
    const fs::path path = folder / "levels.sqlite3";
    const fs::path aside = database_.Folder() / "levels.bak";
    const struct {
        const char* what;
        std::function<void()> away;  // while recording
        std::function<void()> mend;  // before the next try, if anything
        std::size_t lines;
        std::size_t atPath;   // minutes at the path at the end
        std::size_t inAside;  // minutes in the moved file
    } cases[] = {
        {"the folder removed", [&] { fs::remove_all(folder); }, {}, 1, 2, 0},
        {"the file moved aside", [&] { fs::rename(path, aside); }, {}, 1, 2, 1},
        {"the file replaced by a folder, then by a good file",
         [&] {
             fs::remove(path);
             fs::create_directory(path);
         },
         [&] {
             fs::remove(path);
             LevelDatabase::Make(path, SteadyMinutes("press", Noon - 3600, 1, 60.0));
         },
         3, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        fs::remove(aside);
        reported_ = std::make_shared<ReportedLines>();
        Start(path);
        Feed(Noon, 2, 80.0);
        WaitIdle();
        c.away();
        Feed(Noon + 120, 1, 80.0);
        recorder_->FinishMinute();
        WaitIdle();
        if (c.mend) {
            c.mend();
            clocks_.Advance(LevelRecorder::RetryInterval);
            ASSERT_TRUE(WaitUntil([&] { return recorder_->PendingRows() == 0; })) << "never written";
        }
        RecordLock another(path.string());
        EXPECT_TRUE(!another.Take() && another.HeldElsewhere()) << "the record's lock left with its folder";
        recorder_.reset();
        const std::vector<std::string> lines = Reported();
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_NE(lines[0].find("was moved, removed or replaced"), std::string::npos) << lines[0];
        EXPECT_EQ(LevelDatabase::ReadAllMinutes(path).value_or(std::vector<MinuteRow>{}).size(), c.atPath);
        EXPECT_EQ(LevelDatabase::ReadAllMinutes(aside).value_or(std::vector<MinuteRow>{}).size(), c.inAside)
            << LevelDatabase::IntegrityCheck(aside);
    }
}

// Parts of one minute are joined only within one run; a part of another run (a restart in the
// minute) meets the stored one whole: the louder is kept, never an average of the two.
TEST_F(Recorder, PartsOfOneMinuteAreJoinedOnlyWithinOneRun) {
    const struct {
        bool restart;
        MinuteRow kept;
    } cases[] = {{false, {"press", Noon, "dBA", 33, 33.0, 82.97, 80.0, 85.0}},
                 {true, {"press", Noon, "dBA", 15, 15.0, 85.0, 85.0, 85.0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.restart ? "two runs" : "one run");
        database_.Write();
        ASSERT_TRUE(database_.Connection().Exec("DELETE FROM minutes"));
        Start();
        for (int second = 0; second < 18; ++second)
            recorder_->AddSample(Noon + second, "press", "dBA", 80.0, 1);
        recorder_->FinishMinute();
        if (c.restart) {
            recorder_.reset();
            Start();
        }
        for (int second = 30; second < 45; ++second)
            recorder_->AddSample(Noon + second, "press", "dBA", 85.0, 1);
        recorder_->Stop(Scaled(5000ms));
        const std::vector<MinuteRow> rows = database_.Minutes();
        ASSERT_EQ(rows.size(), 1u);
        ExpectMinute(rows[0], c.kept, 0.01);
    }
}

// One display records into a record at a time: a second one records nothing and says so,
// and takes over at its next minute once the first has ended.
TEST_F(Recorder, ASecondRecorderRecordsNothingUntilTheFirstEnds) {
    Start();
    Feed(Noon - 120, 1, 70.0);  // written once the first holds the record
    recorder_->FinishMinute();
    WaitIdle();
    std::unique_ptr<LevelRecorder> first = std::move(recorder_);
    Start();
    Feed(Noon, 2, 85.0);  // the second display's
    WaitIdle();
    EXPECT_TRUE(recorder_->RecordsElsewhere());
    EXPECT_TRUE(recorder_->UnwrittenMinutes("press").empty());
    EXPECT_EQ(database_.Minutes().size(), 1u);
    ASSERT_EQ(Reported().size(), 1u);
    EXPECT_NE(Reported()[0].find("another display records the levels in"), std::string::npos) << Reported()[0];

    first.reset();
    Feed(Noon + 120, 1, 85.0);
    WaitIdle();
    EXPECT_FALSE(recorder_->RecordsElsewhere());
    const std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 2u) << "the minutes measured while the other recorded went nowhere";
    EXPECT_EQ(rows[1].Start, Noon + 60);
    ASSERT_EQ(Reported().size(), 2u);
    EXPECT_NE(Reported()[1].find("this display records the levels in"), std::string::npos) << Reported()[1];
}

// What is in the file's place and is no record: a damaged file moved aside, a link left as it
// is (never followed to make or move a file where it points); one line each.
TEST_F(Recorder, WhatIsNoRecordGivesOneLine) {
    namespace fs = std::filesystem;
    const fs::path target = database_.Folder() / "elsewhere";
    const struct {
        const char* what;
        std::function<void()> make;
        const char* said;    // the first line; the link's second says that the minutes are lost
        std::size_t atPath;  // minutes at the path
    } cases[] = {
        {"a damaged file", [&] { XdgSandbox::WriteFile(database_.Path(), std::string(3000, 'x')); }, ".corrupt-", 2},
        {"a link to a file",
         [&] {
             XdgSandbox::WriteFile(target, std::string(3000, 'x'));
             fs::create_symlink(target, database_.Path());
         },
         "symbolic link", 0},
        {"a dangling link", [&] { fs::create_symlink(target, database_.Path()); }, "symbolic link", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(target);
        fs::remove(database_.Path());
        reported_ = std::make_shared<ReportedLines>();
        c.make();
        const std::string before = fs::exists(target) ? XdgSandbox::ReadFile(target) : "";
        Start();
        Feed(Noon, 2, 80.0);  // two tries
        recorder_.reset();
        EXPECT_EQ(LevelDatabase::ReadAllMinutes(database_.Path()).value_or(std::vector<MinuteRow>{}).size(), c.atPath);
        EXPECT_EQ(fs::exists(target) ? XdgSandbox::ReadFile(target) : "", before) << "written through the link";
        const std::vector<std::string> lines = Reported();
        ASSERT_EQ(lines.size(), c.atPath == 0 ? 2u : 1u);
        EXPECT_NE(lines[0].find(c.said), std::string::npos) << lines[0];
    }
}

TEST_F(Recorder, AStopThatRunsOutLeavesTheWriterToFinishOnItsOwn) {
    database_.Write();
    ASSERT_TRUE(database_.Connection().Exec("BEGIN IMMEDIATE"));
    Start();
    Feed(Noon, 1, 80.0);
    recorder_->Stop(0ms);  // the writer is still waiting for the lock
    recorder_.reset();
    ASSERT_FALSE(Reported().empty());
    EXPECT_NE(Reported()[0].find("decimon: 1 minute of levels still waiting"), std::string::npos) << Reported()[0];
    ASSERT_TRUE(WaitUntil([&] { return Reported().size() == 2; })) << "the writer left behind never finished";
    ASSERT_TRUE(database_.Connection().Exec("COMMIT"));
}

}  // namespace
