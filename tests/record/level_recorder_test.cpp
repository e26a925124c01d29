// The recorder with its writer thread: minutes written as they end (by the next poll or by the
// clock), faults reported once and the minutes kept for the next try, at most 24 h of them,
// and the old minutes trimmed.
#include "record/level_recorder.h"

#include "record/level_schema.h"

#include "tests/support/fake_clocks.h"
#include "tests/support/level_database.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
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
    EXPECT_TRUE(WaitUntil([&] { return database_.Connection().QueryInteger("PRAGMA user_version", -1) == 2; }))
        << "not upgraded before any minute came";
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

    // A fault after the record worked again is a new fault: reported again.
    ASSERT_TRUE(database_.Connection().Exec("BEGIN IMMEDIATE"));
    Feed(Noon + 600, 2, 85.0);
    WaitIdle();
    ASSERT_TRUE(database_.Connection().Exec("COMMIT"));
    EXPECT_EQ(Reported().size(), 2u);
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

    std::filesystem::remove(blocker);
    recorder_->FinishMinute();
    WaitIdle();
    const auto rows = LevelDatabase::ReadAllMinutes(blocker / "levels.sqlite3");
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), LevelRecorder::MaxPendingMinutes);
    EXPECT_EQ(rows->front().Start, Noon + 60 * (minutes - 1440)) << "the oldest went first";
    EXPECT_EQ(rows->back().Start, Noon + 60 * (minutes - 1));
}

TEST_F(Recorder, TrimsMinutesOlderThan1096DaysOnceADay) {
    const std::int64_t limit = Noon - KeepDays * Day;
    database_.Write(SteadyMinutes("press", limit - 60, 2, 70.0));  // one minute past the limit
    database_.Write(SteadyMinutes("press", Noon - 60, 1, 75.0));   // the last one before the start
    Start();
    Feed(Noon, 2, 80.0);
    WaitIdle();
    std::vector<MinuteRow> rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Start, limit);

    database_.Write(SteadyMinutes("press", limit - 600, 1, 70.0));
    recorder_->FinishMinute();
    WaitIdle();
    EXPECT_EQ(database_.Minutes().size(), 5u) << "trimmed once a day, not at every minute";

    clocks_.Advance(24h);
    Feed(Noon + Day, 1, 80.0);
    recorder_->FinishMinute();
    WaitIdle();
    rows = database_.Minutes();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Start, Noon - 60) << "a day later the limit moved on by a day";
}

// A wall clock years ahead, at a start or while the display runs, and later set right, never
// deletes a minute that the right time keeps: the trim's time is bound by the newest minute at
// a start and moves on by the monotonic clock.
TEST_F(Recorder, AClockYearsAheadDeletesNothingTheRightTimeKeeps) {
    constexpr std::int64_t Ahead = 5 * 365 * Day;
    database_.Write(SteadyMinutes("press", Noon - 1090 * Day, 1, 70.0));
    database_.Write(SteadyMinutes("press", Noon - 990 * Day, 1, 70.0));
    database_.Write(SteadyMinutes("press", Noon - 60, 1, 70.0));  // the last one before the start
    const struct {
        int daysOn;  // real time passing before the step
        std::int64_t wallAhead;
        bool start;  // the display starts (again) at the step
        std::int64_t oldest;
        const char* what;
    } steps[] = {
        {0, Ahead, true, Noon - 1090 * Day, "ahead at the start"},
        {10, Ahead, false, Noon - 990 * Day, "ten days on, still ahead: ten days more go"},
        {1, 0, false, Noon - 990 * Day, "set right"},
        {1, 0, true, Noon - 990 * Day, "a start with the right time"},
        {1, Ahead, false, Noon - 990 * Day, "set ahead while running"},
        {100, Ahead, false, Noon - 60, "a hundred days on, still ahead"},
    };
    std::int64_t now = Noon;  // the right time
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
    }
}

TEST_F(Recorder, ADamagedFileIsMovedAsideWithOneLine) {
    XdgSandbox::WriteFile(database_.Path(), std::string(3000, 'x'));
    Start();
    Feed(Noon, 1, 80.0);
    recorder_->FinishMinute();
    WaitIdle();
    EXPECT_EQ(database_.Minutes().size(), 1u);
    const std::vector<std::string> lines = Reported();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(".corrupt-"), std::string::npos) << lines[0];
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
