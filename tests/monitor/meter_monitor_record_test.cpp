// The exposure record as the monitoring engine keeps it, against the meter simulator: the
// minutes hold the shown levels and the good polls, a new host starts its own minutes, and no
// fault of the database stops the polling or blanks the level.
#include "monitor/meter_monitor.h"

#include "tests/support/case_name.h"
#include "tests/support/child_process.h"
#include "tests/support/level_database.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/private_mounts.h"
#include "tests/support/stderr_capture.h"
#include "tests/support/time_zone.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace decimon::test;
using namespace std::chrono_literals;

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC, a minute's start
std::atomic<std::time_t> testNow{Noon};
std::time_t TestClock() {
    return testNow.load();
}

class RecordedEngine : public ::testing::Test {
protected:
    void SetUp() override {
        testNow = Noon;
        COleDateTime::SetClock(TestClock);
        sim_.Set("level", "integer", "853");
        sim_.Set("weighting", "integer", "1");
    }
    void TearDown() override {
        monitor_.reset();
        COleDateTime::SetClock(nullptr);
    }

    void Start(const std::function<void(Settings&)>& adjust = {}) { monitor_ = StartMonitor(sim_.Agent(), adjust); }

    // `polls` polls, one a second of the test's clock, each written back before the next.
    void PollSeconds(int polls) {
        for (int poll = 0; poll < polls; ++poll) {
            monitor_->RequestPoll();
            ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); })) << "the poll was never written back";
            testNow += 1;
        }
    }

    // The minutes in the database once it holds `count` of them (or what it holds after the
    // wait).
    std::vector<MinuteRow> WaitForMinutes(std::size_t count, const std::filesystem::path& path) {
        std::vector<MinuteRow> rows;
        WaitUntil([&] {
            rows = LevelDatabase::ReadAllMinutes(path).value_or(std::vector<MinuteRow>{});
            return rows.size() >= count;
        });
        return rows;
    }
    std::vector<MinuteRow> WaitForMinutes(std::size_t count) { return WaitForMinutes(count, xdg_.LevelDatabase()); }

    const TimeZone utc_{"UTC"};
    XdgSandbox xdg_;
    MeterSimProcess sim_;
    std::unique_ptr<MeterMonitor> monitor_;
};

TEST_F(RecordedEngine, TwoWholeMinutesHoldTheShownLevelAndTheirPolls) {
    Start([](Settings& s) { s.LevelOffset = 3; });
    PollSeconds(121);
    const std::vector<MinuteRow> rows = WaitForMinutes(2);
    ASSERT_EQ(rows.size(), 2u);
    for (int minute = 0; minute < 2; ++minute) {
        SCOPED_TRACE("minute " + std::to_string(minute));  // the level as painted, offset and all
        ExpectMinute(rows[minute], {sim_.Agent(), Noon + 60 * minute, "dBA", 60, 60.0, 88.3, 88.3, 88.3}, 1e-9);
    }
    monitor_->StopWorker();
    EXPECT_EQ(WaitForMinutes(3).back().Samples, 1) << "the minute under way is written at the end";
    // The meter as it named itself, and the offset: one row, noted at the first poll.
    LevelReader reader(xdg_.LevelDatabase().string());
    const auto meters = reader.ReadMeters(sim_.Agent(), 0, Noon + 3600);
    ASSERT_TRUE(meters.has_value()) << reader.Error();
    ASSERT_EQ(meters->size(), 1u);
    EXPECT_EQ(meters->front().From, Noon);
    EXPECT_EQ(meters->front().Values.Name, monitor_->CopyForDiagnostics().SysName);
    EXPECT_NE(meters->front().Values.Name, "");
    EXPECT_EQ(meters->front().Values.LevelOffset, 3);
}

// Failed polls are gaps, and a meter that falls silent has its last minute written by the
// clock, without another answer and before the end of the program.
TEST_F(RecordedEngine, FailedPollsAreGapsAndASilentMetersMinuteIsWritten) {
    Start();
    PollSeconds(20);
    sim_.Command("silent on");
    PollSeconds(30);
    sim_.Command("silent off");
    PollSeconds(10);
    sim_.Command("silent on");
    PollSeconds(static_cast<int>(LevelRecorder::EndGraceSeconds) + 1);
    const std::vector<MinuteRow> rows = WaitForMinutes(1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Samples, 30);
    EXPECT_EQ(rows[0].Seconds, 30.0);
    monitor_->StopWorker();
    EXPECT_EQ(monitor_->CopyForDiagnostics().PollCount, 63);
}

TEST_F(RecordedEngine, ANewHostStartsItsOwnMinutes) {
    MeterSimProcess other;
    other.Set("level", "integer", "700");
    other.Set("weighting", "integer", "2");
    Start();
    PollSeconds(30);
    Settings changed = monitor_->CurrentSettings();
    CopyFixedText(changed.HostName, other.Agent());
    monitor_->StoreSettings(changed);
    monitor_->ResetAfterConfigurationChange(true);
    std::vector<MinuteRow> rows = WaitForMinutes(1);
    ASSERT_EQ(rows.size(), 1u) << "the old host's minute is written at the change";
    EXPECT_EQ(rows[0].Samples, 30);
    PollSeconds(20);
    monitor_->StopWorker();
    rows = WaitForMinutes(2);
    ASSERT_EQ(rows.size(), 2u);
    ExpectMinute(rows[0].Host == other.Agent() ? rows[0] : rows[1],
                 {other.Agent(), Noon, "dBC", 20, 20.0, 70.0, 70.0, 70.0}, 1e-9);
}

TEST_F(RecordedEngine, RecordLevelsZeroRecordsNothing) {
    SaveMeterSettings(sim_.Agent());
    std::ofstream(xdg_.HomeKeyFile(), std::ios::app) << "\"RecordLevels\"=dword:00000000\n";
    Start([](Settings&) {});
    PollSeconds(70);
    monitor_->StopWorker();
    EXPECT_EQ(monitor_->CopyForDiagnostics().PollCount, 70);
    EXPECT_FALSE(std::filesystem::exists(xdg_.LevelDatabase()));
}

}  // namespace

namespace {

class RecordFaults;

// A fault of the database: made before the display starts and/or after its first minute,
// and cleared after three minutes under it.
struct FaultCase {
    const char* name;
    void (RecordFaults::*before)();
    void (RecordFaults::*during)();
    void (RecordFaults::*clear)();
    const char* line;  // what the one line on standard error says
    bool movedAside;   // the file was damaged: the minutes are in a new one
};

class RecordFaults : public RecordedEngine, public ::testing::WithParamInterface<FaultCase> {
public:
    std::filesystem::path Folder() const { return xdg_.LevelDatabase().parent_path(); }
    std::filesystem::path Filler() const { return Folder() / "filler"; }

    void Mounts() {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root for a private mount namespace";
        mounts_ = std::make_unique<PrivateMounts>();
        ASSERT_TRUE(mounts_->Ok()) << "no private mount namespace";
    }
    void ReadOnlyFolder() {
        Mounts();
        ASSERT_TRUE(mounts_->ReadOnly(xdg_.DataHome()));
    }
    void WritableFolder() { ASSERT_TRUE(mounts_->Unmount(xdg_.DataHome())); }
    void SmallDisk() {
        Mounts();
        ASSERT_TRUE(mounts_->Tmpfs(Folder(), 512));
    }
    void FillDisk() {
        std::ofstream filler(Filler(), std::ios::binary);
        const std::string block(4096, '\0');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
    }
    void EmptyDisk() { std::filesystem::remove(Filler()); }
    // Another program (the sqlite3 shell) in a write transaction on the record.
    void Lock() {
        LevelDatabase::Make(xdg_.LevelDatabase());
        locker_ =
            std::make_unique<ChildProcess>(std::vector<std::string>{DECIMON_SQLITE3, xdg_.LevelDatabase().string()});
        ASSERT_TRUE(locker_->WriteLine("BEGIN IMMEDIATE;"));
        ASSERT_TRUE(locker_->WriteLine(".print holding"));
        ASSERT_EQ(locker_->ReadLine(Scaled(5000ms)), "holding");
    }
    void Unlock() {
        ASSERT_TRUE(locker_->WriteLine("COMMIT;"));
        locker_->CloseStdin();
        ASSERT_EQ(locker_->WaitExit(Scaled(5000ms)), 0);
    }
    void Damage() { XdgSandbox::WriteFile(xdg_.LevelDatabase(), std::string(3000, 'x')); }
    void FileWhereTheFolderGoes() { XdgSandbox::WriteFile(xdg_.DataHome(), "x"); }
    void NoFileWhereTheFolderGoes() { std::filesystem::remove(xdg_.DataHome()); }

protected:
    void TearDown() override {
        RecordedEngine::TearDown();
        locker_.reset();
        mounts_.reset();
    }

    std::unique_ptr<PrivateMounts> mounts_;
    std::unique_ptr<ChildProcess> locker_;
};

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_P(RecordFaults, PollingAndPaintingGoOnWithOneLineAndTheRecordIsWholeAfterwards) {
    const FaultCase& c = GetParam();
    const StderrCapture errors;
    if (c.before)
        (this->*c.before)();
    if (IsSkipped())
        return;
    Start();
    PollSeconds(60);
    if (c.during)
        (this->*c.during)();
    PollSeconds(180);
    EXPECT_TRUE(WaitUntil([&] { return errors.Text().find("decimon: ") != std::string::npos; }))
        << "the fault was never met";
    EXPECT_EQ(monitor_->CopyForDiagnostics().PollCount, 240) << "every poll was made";
    EXPECT_DOUBLE_EQ(monitor_->CopyForPainting().CurrentLevel, 85.3) << "and its level shown";
    if (c.clear)
        (this->*c.clear)();
    PollSeconds(61);

    const std::vector<MinuteRow> rows = WaitForMinutes(5);
    ASSERT_EQ(rows.size(), 5u) << "every minute, those under the fault too";
    for (int minute = 0; minute < 5; ++minute) {
        EXPECT_EQ(rows[minute].Start, Noon + 60 * minute);
        EXPECT_EQ(rows[minute].Samples, 60);
    }
    EXPECT_EQ(LevelDatabase::IntegrityCheck(xdg_.LevelDatabase()), "ok");
    const std::string text = errors.Text();
    // A fault that was mended is said to be over, with the minutes that waited.
    EXPECT_EQ(Count(text, "decimon: "), c.clear ? 2 : 1) << text;
    EXPECT_NE(text.find(c.line), std::string::npos) << text;
    EXPECT_EQ(Count(text, "again; "), c.clear ? 1 : 0) << text;
    bool aside = false;
    for (const auto& entry : std::filesystem::directory_iterator(Folder()))
        aside = aside || entry.path().filename().string().starts_with("levels.sqlite3.corrupt-");
    EXPECT_EQ(aside, c.movedAside);
}

INSTANTIATE_TEST_SUITE_P(
    Database, RecordFaults,
    ::testing::Values(FaultCase{"ReadOnlyFolder", &RecordFaults::ReadOnlyFolder, nullptr, &RecordFaults::WritableFolder,
                                "Read-only file system", false},
                      FaultCase{"FullDisk", &RecordFaults::SmallDisk, &RecordFaults::FillDisk, &RecordFaults::EmptyDisk,
                                "full", false},
                      FaultCase{"LockedByAnotherProgram", &RecordFaults::Lock, nullptr, &RecordFaults::Unlock, "locked",
                                false},
                      FaultCase{"DamagedFile", &RecordFaults::Damage, nullptr, nullptr, "damaged", true},
                      FaultCase{"FolderCannotBeMade", &RecordFaults::FileWhereTheFolderGoes, nullptr,
                                &RecordFaults::NoFileWhereTheFolderGoes, "Not a directory", false}),
    CaseName());

}  // namespace
