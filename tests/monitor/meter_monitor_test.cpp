// The monitoring pipeline without a window: a MeterMonitor with its worker, its settings
// from a private settings file, and the meter simulator as the meter.
#include "monitor/meter_monitor.h"

#include "config/settings_store.h"
#include "monitor/dose.h"
#include "monitor/polling_worker.h"
#include "platform/sys/fixed_text.h"
#include "tests/support/fake_clocks.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/private_resolver.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace decimon::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.Set("level", "integer", "853");
        sim_.Set("weighting", "integer", "2");
        sim_.Set("name", "octetstring", "Press shop");
        sim_.Set("location", "octetstring", "Hall 3");
    }
    void TearDown() override { monitor_.reset(); }

    // Saves settings for the simulator (with `adjust` applied) and starts a monitor on them.
    void Start(const std::function<void(Settings&)>& adjust = {}) { monitor_ = StartMonitor(sim_.Agent(), adjust); }

    // Requests one poll and waits for its write-back.
    void PollOnce() {
        monitor_->RequestPoll();
        ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); })) << "the poll was never written back";
    }

    // Polls until the level shown is `level`; false when it is not within the time bound.
    bool PollsReach(double level) {
        return WaitUntil([&] {
            monitor_->RequestPoll();
            return WaitUntil([&] { return !monitor_->PollPending(); }) && Shown().CurrentLevel == level;
        });
    }

    // Waits until the simulator has seen `requests` GETs in all: a poll is under way.
    void WaitForRequests(std::uint64_t requests) {
        ASSERT_TRUE(WaitUntil([&] { return sim_.Count() >= requests; }));
    }

    DiagnosticsCopy Stats() const { return monitor_->CopyForDiagnostics(); }
    PaintCopy Shown() const { return monitor_->CopyForPainting(); }

    FakeClocks clocks_;  // local time is UTC
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
    EXPECT_EQ(stats.StartSteadyTime, SteadyClock::Now()) << "the up-time's base on the monotonic clock";
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

// Voluntary context switches of every thread of this process but the calling one: how often
// the worker went to sleep.
long OtherThreadsSleeps() {
    long sleeps = 0;
    const std::string self = std::to_string(gettid());
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        if (task.path().filename() == self)
            continue;
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                sleeps += std::stol(line.substr(line.find(':') + 1));
    }
    return sleeps;
}

TEST_F(Engine, AnIdleWorkerSleepsUntilTheNextRequest) {
    Start();
    PollOnce();
    const long before = OtherThreadsSleeps();
    std::this_thread::sleep_for(500ms);
    // A worker that woke every 10 ms would sleep 50 times; a sanitizer's own thread a few.
    EXPECT_LT(OtherThreadsSleeps() - before, 15) << "the idle worker woke up without a request";
    PollOnce();
    EXPECT_EQ(Stats().PollCount, 2) << "and a request still wakes it";
}

TEST_F(Engine, TheLevelIsHeldThroughTwoFailuresAndDroppedAtTheThird) {
    Start([](Settings& s) { s.LevelOffset = 3; });
    PollOnce();
    ASSERT_DOUBLE_EQ(Shown().CurrentLevel, 85.3);
    sim_.Command("silent on");
    for (int failure = 1; failure <= 3; ++failure) {
        clocks_.Advance(60s);
        PollOnce();
        const DiagnosticsCopy stats = Stats();
        EXPECT_EQ(stats.ErrorCount, failure);
        EXPECT_EQ(stats.ConsecutiveErrors, failure);
        EXPECT_EQ(stats.PollCount, 1 + failure);
        EXPECT_TRUE(stats.LastErrorTime == COleDateTime::GetCurrentTime()) << "failure " << failure;
        EXPECT_EQ(stats.LastErrorSteadyTime, SteadyClock::Now()) << "failure " << failure;
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

// A meter that does not answer in time, with the longest time-out and retries the settings
// take: a stop leaves the request under way at once, and the request counts as nothing.
TEST_F(Engine, AStopLeavesARequestUnderWay) {
    for (const char* meter : {"silent on", "delay 30000"}) {
        SCOPED_TRACE(meter);
        Start([](Settings& s) {
            s.SnmpTimeout = 60000;
            s.SnmpRetries = 9;
        });
        PollOnce();
        sim_.Command(meter);
        const std::uint64_t before = sim_.Count();
        monitor_->RequestPoll();
        WaitForRequests(before + 1);
        const auto start = Clock::now();
        monitor_->StopWorker();
        EXPECT_LT(Clock::now() - start, 1s);
        EXPECT_FALSE(monitor_->HasSession()) << "the worker closes its session before it ends";
        EXPECT_EQ(Stats().PollCount, 1);
        EXPECT_EQ(Stats().ErrorCount, 0);
        sim_.Command("silent off");
        sim_.Command("delay 0");
    }
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

TEST_F(Engine, AConfigurationResetLeavesARequestUnderWayAndPollsAgainAtOnce) {
    Start([](Settings& s) { s.SnmpTimeout = 60000; });
    PollOnce();
    sim_.Command("silent on");
    const std::uint64_t before = sim_.Count();
    monitor_->RequestPoll();
    WaitForRequests(before + 1);
    sim_.Command("silent off");
    monitor_->ResetAfterConfigurationChange(false);
    // The request left behind is still pending: the new session serves it at once, so the
    // reset's "---" may already be gone by the time the test could look.
    ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); })) << "the new session did not poll";
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 85.3) << "the new session polls as usual";
    EXPECT_EQ(Stats().PollCount, 2) << "the counters stay when the host did not change";
    EXPECT_EQ(Stats().ErrorCount, 0) << "the request left behind is no failed read";
}

TEST_F(Engine, AConfigurationResetAfterTheLevelReadDropsThatPollsValues) {
    Start([](Settings& s) { s.SnmpTimeout = 5000; });
    PollOnce();
    sim_.Set("level", "integer", "900");
    sim_.Command("delay 200");
    const std::uint64_t before = sim_.Count();
    monitor_->RequestPoll();
    WaitForRequests(before + 2);  // the level is read, the name read under way
    monitor_->ResetAfterConfigurationChange(false);
    WaitForRequests(before + 5);  // the new session's poll began: the old one was left behind
    const PaintCopy shown = Shown();
    EXPECT_EQ(shown.CurrentLevel, -1.0) << "90.0 was read with the old settings";
    EXPECT_STREQ(shown.WeightingText, "---");
    EXPECT_STREQ(shown.FooterText, FixedFooter);
    EXPECT_EQ(Stats().PollCount, 2) << "the counters stay when the host did not change";
    EXPECT_EQ(Stats().ErrorCount, 0) << "the poll under way succeeded";
    ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); }));
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 90.0) << "the old poll's write-back left the request to the new session";
}

TEST_F(Engine, AHostChangeDuringAPollZeroesTheCountersAndReconnects) {
    Start([](Settings& s) { s.SnmpTimeout = 300; });
    PollOnce();
    sim_.Command("silent on");  // the poll under way at the change fails
    const std::uint64_t before = sim_.Count();
    monitor_->RequestPoll();
    WaitForRequests(before + 1);
    MeterSimProcess other;
    other.Set("level", "integer", "612");
    // The new session polls at once: four answers 100 ms late each keep its result from
    // landing before the zeroed counters are looked at, even on a loaded machine.
    other.Command("delay 100");
    Settings changed = monitor_->CurrentSettings();
    CopyFixedText(changed.HostName, other.Agent());
    monitor_->StoreSettings(changed);
    monitor_->ResetAfterConfigurationChange(true);
    EXPECT_EQ(Stats().PollCount, 0);
    EXPECT_EQ(Shown().CurrentLevel, -1.0);
    ASSERT_TRUE(WaitUntil([&] { return other.Count() == 4u && !monitor_->PollPending(); }))
        << "the new meter is polled without another request";
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 61.2);
    const DiagnosticsCopy stats = Stats();
    EXPECT_EQ(stats.PollCount, 1) << "the failed poll counted for the old host only";
    EXPECT_EQ(stats.ErrorCount, 0);
    EXPECT_EQ(stats.ConsecutiveErrors, 0);
    EXPECT_TRUE(stats.LastErrorTime == NoErrorTime()) << "nor did its error time";
    EXPECT_EQ(stats.LastErrorSteadyTime, SteadyTime()) << "on either clock";
}

// The counters behind the metrics page's Leq: each good poll at the level shown (here
// 85.3 + 3 dB) for the polling interval after it; a failed poll adds nothing. A (meter,
// weighting) counter never goes back: a weighting that misses an answer counts the poll under
// the last one read, another weighting has counters of its own beside it, and a new host
// takes its own name in the same step as its counters.
TEST_F(Engine, TheExposureCountersAddTheGoodPollsAtTheShownLevel) {
    Start([](Settings& s) {
        s.LevelOffset = 3;
        s.PollingInterval = 2;
    });
    const auto seconds = [&](const char* weighting) {
        const MetricsCopy copy = monitor_->CopyForMetrics();
        double total = -1.0;  // none
        for (std::size_t i = 0; i < copy.Exposure.Count; ++i) {
            const ExposureCounter& row = copy.Exposure.Rows[i];
            if (std::string_view(row.Meter) == copy.HostName && std::string_view(row.Weighting) == weighting)
                total = row.MeasuredSeconds;
        }
        return total;
    };
    PollOnce();
    PollOnce();
    sim_.Command("silent on");
    PollOnce();
    sim_.Command("silent off");
    MetricsCopy counted = monitor_->CopyForMetrics();
    ASSERT_EQ(counted.Exposure.Count, 1u);
    EXPECT_NEAR(counted.Exposure.Rows[0].PaSquaredSeconds, 1.081732760627, 1e-9)
        << "4 s at 88.3 dB: 4e-10 · 10^8.83 · 4";
    EXPECT_EQ(seconds("dBC"), 4.0);
    EXPECT_EQ(counted.PollCount, 3);

    sim_.Set("weighting", "missing");
    PollOnce();
    EXPECT_STREQ(Shown().WeightingText, "---");
    EXPECT_EQ(seconds("dBC"), 6.0) << "counted under the weighting read last";
    EXPECT_EQ(seconds("---"), -1.0);
    sim_.Set("weighting", "integer", "1");
    PollOnce();
    sim_.Set("weighting", "integer", "2");
    PollOnce();
    EXPECT_EQ(seconds("dBA"), 2.0);
    EXPECT_EQ(seconds("dBC"), 8.0) << "the dBC counters go on";

    const std::string first = monitor_->CurrentSettings().HostName;
    Settings changed = monitor_->CurrentSettings();
    CopyFixedText(changed.HostName, "127.0.0.1:9");
    monitor_->StoreSettings(changed);
    EXPECT_EQ(monitor_->CopyForMetrics().HostName, first) << "the counters' name changes with their values";
    monitor_->ResetAfterConfigurationChange(true);
    EXPECT_STREQ(monitor_->CopyForMetrics().HostName, "127.0.0.1:9");
    EXPECT_EQ(seconds("dBC"), -1.0) << "a new host starts with no counters";
}

// A slow meter: a poll that overruns its 1 s interval by 0.6 s is shown until the next poll
// begins, and counted so; on the fake monotonic clock, exactly.
TEST_F(Engine, APollThatOverrunsItsIntervalCountsUntilTheNextBegins) {
    Start([](Settings& s) {
        s.PollingInterval = 1;
        s.SnmpTimeout = 10000;  // the session's time-out runs on the same clock
    });
    sim_.Command("delay 100");
    const std::uint64_t before = sim_.Count();
    monitor_->RequestPoll();
    WaitForRequests(before + 1);
    clocks_.Advance(1600ms);
    ASSERT_TRUE(WaitUntil([&] { return !monitor_->PollPending(); }));
    EXPECT_EQ(monitor_->CopyForMetrics().Exposure.Rows[0].MeasuredSeconds, 1.0) << "the interval, until the next";
    PollOnce();
    EXPECT_DOUBLE_EQ(monitor_->CopyForMetrics().Exposure.Rows[0].MeasuredSeconds, 2.6) << "1.6 s, then 1 s";
}

TEST_F(Engine, AHostThatDoesNotResolveYetIsPickedUpOnceItDoes) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateResolver hosts("127.0.0.1 localhost\n");
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

// A name server that never answers holds each lookup for the resolver's whole time-out
// (10 s); neither a new configuration nor a stop waits for it.
TEST_F(Engine, NeitherAResetNorAStopWaitsForAHungNameLookup) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateResolver resolver("127.0.0.1 localhost\n", PrivateResolver::NameServer::Silent);
    ASSERT_TRUE(resolver.Ok()) << "cannot set up a silent name server";
    const std::string hung = "meterbox.example:" + std::to_string(sim_.Port());
    Start([&](Settings& s) { CopyFixedText(s.HostName, hung); });
    ASSERT_TRUE(WaitUntil([&] { return resolver.TakeQueries() > 0; }));
    const auto configure = [&](const std::string& host) {
        Settings changed = monitor_->CurrentSettings();
        CopyFixedText(changed.HostName, host);
        monitor_->StoreSettings(changed);
        monitor_->ResetAfterConfigurationChange(true);
    };
    configure(sim_.Agent());
    PollOnce();
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 85.3);
    configure(hung);
    ASSERT_TRUE(WaitUntil([&] { return !monitor_->HasSession(); }));
    const auto start = Clock::now();
    monitor_->StopWorker();
    EXPECT_LT(Clock::now() - start, 1s);
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

// "meterbox" moves between two meters on the same port: 85.3 on 127.0.0.1, 61.2 on ::1.
TEST_F(Engine, AMeterWhoseNameMovesIsFollowedFromTheThirdFailureOncePerPeriod) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateResolver hosts("127.0.0.1 meterbox\n");
    ASSERT_TRUE(hosts.Ok()) << "cannot set up a private hosts file";
    MeterSimProcess moved({"--address", "::1", "--port", std::to_string(sim_.Port())});
    moved.Set("level", "integer", "612");
    Start([&](Settings& s) { CopyFixedText(s.HostName, "meterbox:" + std::to_string(sim_.Port())); });
    PollOnce();
    ASSERT_DOUBLE_EQ(Shown().CurrentLevel, 85.3);

    hosts.Write("::1 meterbox\n");
    sim_.Command("silent on");
    for (int failure = 1; failure <= 3; ++failure)
        PollOnce();
    EXPECT_EQ(moved.Count(), 0u) << "the name was looked up again before the third failure in a row";
    EXPECT_TRUE(PollsReach(61.2)) << "the meter was not found at its new address";
    EXPECT_EQ(Stats().ReconnectCount, 0);

    // And back, while the last lookup is less than 30 s old by the monitor's clock.
    sim_.Command("silent off");
    moved.Command("silent on");
    hosts.Write("127.0.0.1 meterbox\n");
    const std::uint64_t before = sim_.Count();
    for (int failure = 1; failure <= 5; ++failure)
        PollOnce();
    EXPECT_EQ(sim_.Count(), before) << "the name was looked up again within 30 s";
    clocks_.Advance(30s);
    EXPECT_TRUE(PollsReach(85.3)) << "the name was not looked up again after 30 s";
}

// The name is looked up again at a name server that never answers: polls go on meanwhile,
// and a stop does not wait for the lookup.
TEST_F(Engine, NeitherAPollNorAStopWaitsForALookupOfASilentMetersName) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for a private mount namespace";
    PrivateResolver resolver("127.0.0.1 meterbox\n", PrivateResolver::NameServer::Silent);
    ASSERT_TRUE(resolver.Ok()) << "cannot set up a silent name server";
    Start([&](Settings& s) { CopyFixedText(s.HostName, "meterbox:" + std::to_string(sim_.Port())); });
    PollOnce();
    ASSERT_DOUBLE_EQ(Shown().CurrentLevel, 85.3);
    resolver.Write("127.0.0.1 localhost\n");  // only the name server could know "meterbox" now
    sim_.Command("silent on");
    for (int failure = 1; failure <= 3; ++failure)
        PollOnce();
    ASSERT_TRUE(WaitUntil([&] { return resolver.TakeQueries() > 0; })) << "the name was not looked up again";
    sim_.Command("silent off");
    PollOnce();
    EXPECT_DOUBLE_EQ(Shown().CurrentLevel, 85.3) << "the meter is read on at its address meanwhile";
    const auto start = Clock::now();
    monitor_->StopWorker();
    EXPECT_LT(Clock::now() - start, 1s);
}

}  // namespace
