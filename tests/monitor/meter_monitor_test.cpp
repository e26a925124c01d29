// The monitoring pipeline without a window: a MeterMonitor with its worker, its settings
// from a private settings file, and the meter simulator as the meter.
#include "monitor/meter_monitor.h"

#include "config/settings_store.h"
#include "monitor/dose.h"
#include "monitor/polling_worker.h"
#include "platform/sys/fixed_text.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

using namespace decimon::test;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::atomic<std::time_t> testNow{1700000000};
std::time_t TestClock() {
    return testNow.load();
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        COleDateTime::SetClock(TestClock);
        sim_.Set("level", "integer", "853");
        sim_.Set("weighting", "integer", "2");
        sim_.Set("name", "octetstring", "Press shop");
        sim_.Set("location", "octetstring", "Hall 3");
    }
    void TearDown() override {
        monitor_.reset();
        COleDateTime::SetClock(nullptr);
    }

    // Saves settings for the simulator (with `adjust` applied) and starts a monitor on them.
    void Start(const std::function<void(Settings&)>& adjust = {}) {
        SaveMeterSettings(sim_.Agent(), [&](Settings& settings) {
            settings.SnmpTimeout = 100;
            settings.SnmpRetries = 0;
            if (adjust)
                adjust(settings);
        });
        monitor_ = std::make_unique<MeterMonitor>();
        ASSERT_TRUE(monitor_->StartWorker());
        monitor_->RequestFirstConnection();
    }

    // Requests one poll and waits for its write-back.
    void PollOnce() {
        monitor_->RequestPoll();
        ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); })) << "the poll was never written back";
    }

    // Waits until the simulator has seen `requests` GETs in all: a poll is under way.
    void WaitForRequests(std::uint64_t requests) {
        ASSERT_TRUE(WaitUntil([&] { return sim_.Count() >= requests; }));
    }

    DiagnosticsCopy Stats() const { return monitor_->CopyForDiagnostics(); }
    PaintCopy Shown() const { return monitor_->CopyForPainting(); }

    XdgSandbox xdg_;
    MeterSimProcess sim_;
    std::unique_ptr<MeterMonitor> monitor_;
};

TEST_F(Engine, StartsWithNothingToShow) {
    Start();
    const PaintCopy shown = Shown();
    const DiagnosticsCopy stats = Stats();
    EXPECT_EQ(shown.CurrentLevel, -1.0);
    EXPECT_STREQ(shown.DoseText, "---");
    EXPECT_STREQ(shown.WeightingText, "---");
    EXPECT_STREQ(shown.FooterText, FixedFooter);
    EXPECT_EQ(stats.PollCount + stats.ErrorCount + stats.ReconnectCount + stats.ConsecutiveErrors, 0);
    EXPECT_TRUE(stats.LastErrorTime == NoErrorTime());
    EXPECT_TRUE(stats.StartTime == COleDateTime::GetCurrentTime());
    EXPECT_EQ(monitor_->CurrentSettings().SnmpTimeout, 100) << "the settings come from the settings file";
}

TEST_F(Engine, APollPublishesLevelWeightingDoseAndFooter) {
    Start();
    PollOnce();
    const PaintCopy shown = Shown();
    EXPECT_DOUBLE_EQ(shown.CurrentLevel, 85.3);
    EXPECT_STREQ(shown.WeightingText, "dBC");
    EXPECT_EQ(shown.DoseText, FormatTimeToLimit(85.3, 0, 8.0));
    EXPECT_EQ(std::string(shown.FooterText), std::string("Press shop, Hall 3, ") + FixedFooter);
    const DiagnosticsCopy stats = Stats();
    EXPECT_EQ(stats.PollCount, 1);
    EXPECT_EQ(stats.ConsecutiveErrors, 0);
    EXPECT_STREQ(stats.SysName, "Press shop");
    EXPECT_STREQ(stats.SysLocation, "Hall 3");
    EXPECT_EQ(sim_.Count(), 4u) << "level, name, location and weighting";
}

TEST_F(Engine, TheLevelIsHeldThroughTwoFailuresAndDroppedAtTheThird) {
    Start([](Settings& s) { s.LevelOffset = 3; });
    PollOnce();
    ASSERT_DOUBLE_EQ(Shown().CurrentLevel, 85.3);
    sim_.Command("silent on");
    for (int failure = 1; failure <= 3; ++failure) {
        testNow += 60;
        PollOnce();
        const DiagnosticsCopy stats = Stats();
        EXPECT_EQ(stats.ErrorCount, failure);
        EXPECT_EQ(stats.ConsecutiveErrors, failure);
        EXPECT_EQ(stats.PollCount, 1 + failure);
        EXPECT_TRUE(stats.LastErrorTime == COleDateTime::GetCurrentTime()) << "failure " << failure;
        const PaintCopy shown = Shown();
        if (failure < 3) {
            EXPECT_DOUBLE_EQ(shown.CurrentLevel, 85.3) << "held at failure " << failure;
            EXPECT_EQ(shown.DoseText, FormatTimeToLimit(85.3, 3, 8.0));
        } else {
            EXPECT_EQ(shown.CurrentLevel, -1.0);
            EXPECT_STREQ(shown.DoseText, "---");
        }
        EXPECT_STREQ(shown.WeightingText, "dBC") << "texts keep their last reading";
    }
    sim_.Command("silent off");
    sim_.Set("level", "integer", "901");
    PollOnce();
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 90.1);
    EXPECT_EQ(Stats().ConsecutiveErrors, 0);
    EXPECT_EQ(Stats().ErrorCount, 3);
    EXPECT_EQ(Stats().ReconnectCount, 0);
}

TEST_F(Engine, TheFooterNamesTheMeterWhenItHasAName) {
    Start();
    sim_.Set("location", "octetstring", "");
    PollOnce();
    EXPECT_EQ(std::string(Shown().FooterText), std::string("Press shop, , ") + FixedFooter);
    sim_.Set("name", "octetstring", "");
    PollOnce();
    EXPECT_STREQ(Shown().FooterText, FixedFooter);
}

TEST(Footer, ALongNameAndLocationAreCutAndTheMakersLineStaysWhole) {
    const std::string name(200, 'n');
    const std::string location(200, 'l');
    const std::string footer = ComposeFooter(name.c_str(), location.c_str());
    EXPECT_EQ(footer.size(), 255u);
    EXPECT_EQ(footer.substr(0, 200), name);
    EXPECT_EQ(footer.substr(footer.size() - 46), std::string(", ") + FixedFooter);
    EXPECT_EQ(ComposeFooter("", "Hall 3"), FixedFooter);
}

TEST_F(Engine, RetriesComeFromTheSettings) {
    Start([](Settings& s) { s.SnmpRetries = 2; });
    sim_.Command("silent on");
    PollOnce();
    EXPECT_EQ(sim_.Count(), 3u) << "one try and two retries of the level read";
    EXPECT_EQ(Stats().ErrorCount, 1);
}

TEST_F(Engine, ASlowMeterAbsorbsTheRequestsThatComeDuringAPoll) {
    Start([](Settings& s) { s.SnmpTimeout = 500; });
    sim_.Command("delay 60");  // a poll of four GETs lasts about 240 ms
    const auto end = Clock::now() + 700ms;
    while (Clock::now() < end) {
        monitor_->RequestPoll();
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); }));
    const int polls = Stats().PollCount;
    EXPECT_GE(polls, 2);
    EXPECT_LE(polls, 4) << "35 requests must merge into the polls under way";
    EXPECT_EQ(sim_.Count(), 4u * polls);
}

TEST_F(Engine, AStopDuringAPollEndsAfterItsWriteBack) {
    Start([](Settings& s) { s.SnmpTimeout = 500; });
    PollOnce();
    sim_.Set("level", "integer", "702");
    sim_.Command("delay 100");  // a poll of four GETs lasts about 400 ms
    monitor_->RequestPoll();
    WaitForRequests(5);
    const auto start = Clock::now();
    monitor_->StopWorker();
    const auto stopped = Clock::now() - start;
    EXPECT_GE(stopped, 250ms) << "the stop waits for the poll under way";
    EXPECT_LT(stopped, 4 * 100ms + 200ms) << "bounded by the poll under way";
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 70.2);
    EXPECT_FALSE(monitor_->HasWorker());
    EXPECT_FALSE(monitor_->HasSession()) << "the worker closes its session before it ends";
    EXPECT_EQ(Stats().PollCount, 2) << "the poll under way was written back";
    EXPECT_FALSE(monitor_->PollPending());
}

TEST_F(Engine, AStopWhileTheMeterIsSilentIsBoundedByTheTimeout) {
    Start([](Settings& s) { s.SnmpTimeout = 300; });
    PollOnce();
    sim_.Command("silent on");
    monitor_->RequestPoll();
    WaitForRequests(5);
    const auto start = Clock::now();
    monitor_->StopWorker();
    EXPECT_LT(Clock::now() - start, 300ms + 200ms);
    EXPECT_EQ(Stats().ErrorCount, 1);
}

TEST_F(Engine, AStopBeforeAnyConnectionEndsAtOnce) {
    SaveMeterSettings(sim_.Agent());
    monitor_ = std::make_unique<MeterMonitor>();
    ASSERT_TRUE(monitor_->StartWorker());
    const auto start = Clock::now();
    monitor_->StopWorker();
    EXPECT_LT(Clock::now() - start, 100ms);
    EXPECT_EQ(sim_.Count(), 0u);
}

TEST_F(Engine, AClearDuringAPollKeepsOnlyThatPollsIncrements) {
    Start([](Settings& s) { s.SnmpTimeout = 500; });
    PollOnce();
    sim_.Command("silent on");
    PollOnce();
    ASSERT_EQ(Stats().PollCount, 2);
    ASSERT_EQ(Stats().ErrorCount, 1);
    sim_.Command("silent off");
    sim_.Command("delay 100");
    const std::uint64_t before = sim_.Count();
    monitor_->RequestPoll();
    WaitForRequests(before + 1);
    monitor_->ClearCounters();
    ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); }));
    const DiagnosticsCopy stats = Stats();
    EXPECT_EQ(stats.PollCount, 1);
    EXPECT_EQ(stats.ErrorCount, 0);
    EXPECT_EQ(stats.ConsecutiveErrors, 0);
}

TEST_F(Engine, AConfigurationResetDuringAPollDropsThatPollsValues) {
    Start([](Settings& s) { s.SnmpTimeout = 500; });
    PollOnce();
    sim_.Set("level", "integer", "900");
    sim_.Command("delay 100");
    const std::uint64_t before = sim_.Count();
    monitor_->RequestPoll();
    WaitForRequests(before + 1);
    monitor_->ResetAfterConfigurationChange(false);
    ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); }));
    const PaintCopy shown = Shown();
    EXPECT_EQ(shown.CurrentLevel, -1.0) << "90.0 was read with the old settings";
    EXPECT_STREQ(shown.WeightingText, "---");
    EXPECT_STREQ(shown.FooterText, FixedFooter);
    EXPECT_EQ(Stats().PollCount, 2) << "the counters stay when the host did not change";
    EXPECT_EQ(Stats().ErrorCount, 0) << "the poll under way succeeded";
    sim_.Command("delay 0");
    PollOnce();
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 90.0) << "the new session polls as usual";
}

TEST_F(Engine, AHostChangeZeroesTheCountersAndReconnects) {
    Start();
    PollOnce();
    PollOnce();
    MeterSimProcess other;
    other.Set("level", "integer", "612");
    Settings changed = monitor_->CurrentSettings();
    CopyFixedText(changed.HostName, other.Agent());
    monitor_->StoreSettings(changed);
    monitor_->ResetAfterConfigurationChange(true);
    EXPECT_EQ(Stats().PollCount, 0);
    EXPECT_EQ(Shown().CurrentLevel, -1.0);
    PollOnce();
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 61.2);
    EXPECT_EQ(Stats().PollCount, 1);
    EXPECT_EQ(other.Count(), 4u);
}

// Host names resolve from a private hosts file only, in a mount namespace of this test
// process: nothing is asked of a name server, and a name can be made to appear.
class PrivateHostsFile {
public:
    PrivateHostsFile() : dir_(std::filesystem::temp_directory_path() / ("decimon-hosts-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "nsswitch.conf") << "hosts: files\n";
        std::ofstream(dir_ / "hosts") << "127.0.0.1 localhost\n";
        ok_ = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
              mount((dir_ / "nsswitch.conf").c_str(), "/etc/nsswitch.conf", nullptr, MS_BIND, nullptr) == 0 &&
              mount((dir_ / "hosts").c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0;
    }
    ~PrivateHostsFile() { std::filesystem::remove_all(dir_); }
    bool Ok() const { return ok_; }
    void Add(const std::string& line) { std::ofstream(dir_ / "hosts", std::ios::app) << line << "\n"; }

private:
    std::filesystem::path dir_;
    bool ok_ = false;
};

TEST_F(Engine, AHostThatDoesNotResolveYetIsPickedUpOnceItDoes) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateHostsFile hosts;
    ASSERT_TRUE(hosts.Ok()) << "cannot set up a private hosts file";
    Start([&](Settings& s) { CopyFixedText(s.HostName, "meterbox:" + std::to_string(sim_.Port())); });
    for (int tick = 0; tick < 3; ++tick)
        PollOnce();
    EXPECT_EQ(Stats().PollCount, 0) << "no session, no poll";
    EXPECT_EQ(Stats().ErrorCount, 0);
    EXPECT_FALSE(monitor_->HasSession());
    EXPECT_STREQ(Shown().DoseText, "---");
    hosts.Add("127.0.0.1 meterbox");
    PollOnce();
    EXPECT_TRUE(monitor_->HasSession());
    EXPECT_EQ(Stats().PollCount, 1);
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 85.3);
}

TEST(SessionSettings, ValuesFromAHandEditedFileAreClamped) {
    EXPECT_EQ(SessionTimeoutMs(250), 250);
    EXPECT_EQ(SessionTimeoutMs(0), 1);
    EXPECT_EQ(SessionTimeoutMs(INT32_MAX), 60000);
    EXPECT_EQ(SessionRetries(-4), 0);
    EXPECT_EQ(SessionRetries(INT32_MAX), 9);
    EXPECT_EQ(PollTimerMilliseconds(1), 1000);
    EXPECT_EQ(PollTimerMilliseconds(0), 1000);
    EXPECT_EQ(PollTimerMilliseconds(INT32_MAX), INT32_MAX / 1000 * 1000);
}

}  // namespace
