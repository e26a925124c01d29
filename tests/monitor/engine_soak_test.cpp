// The engine over thousands of polls against a meter whose faults change every few dozen
// polls: memory, file descriptors and threads stay flat, the counters add up, and a level
// shown is always the meter's present one, or none from the third failure in a row.
#include "monitor/meter_monitor.h"

#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace decimon::test;

namespace {

struct ProcessUse {
    long rssKb = 0;
    long threads = 0;
    long fds = 0;
};

ProcessUse Measure() {
    ProcessUse use;
    std::ifstream status("/proc/self/status");
    for (std::string field; status >> field;) {
        if (field == "VmRSS:")
            status >> use.rssKb;
        else if (field == "Threads:")
            status >> use.threads;
    }
    use.fds =
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
    return use;
}

// One stretch of polls: the control commands that set the meter's fault, and whether the
// meter still answers the level rightly meanwhile (then it gets a new level).
struct Phase {
    std::vector<std::string> commands;
    bool answers;
};

std::vector<Phase> Phases(int timeoutMs) {
    const std::string late = std::to_string(3 * timeoutMs);
    std::vector<Phase> phases = {
        {{"silent on"}, false},
        {{"silent off", "set level octetstring 85.3"}, false},
        {{"delay " + late}, false},  // the late answers arrive during the next stretches
        {{"delay 0", "set name octetstring " + std::string(60000, 'n'), "set location octetstring"}, true},
    };
    for (const char* fault : {"truncated", "length-huge", "wrong-request-id", "wrong-name", "five-bindings",
                              "counter64", "duplicated", "random-bytes"})
        phases.push_back({{std::string("raw ") + fault}, false});
    return phases;
}

TEST(EngineSoak, ThousandsOfPollsThroughChangingFaults) {
    constexpr int Polls = 5000;
    constexpr int PollsPerPhase = 40;
    constexpr int WarmUpPolls = 1000;
    const int timeoutMs = 25 * TimeScale();

    XdgSandbox xdg;
    MeterSimProcess sim({"--level", "700"});
    SaveMeterSettings(sim.Agent(), [&](Settings& settings) {
        settings.SnmpTimeout = timeoutMs;
        settings.SnmpRetries = 0;
    });
    // Without the record, whose database (three descriptors) opens when the first minute ends,
    // after the warm-up or not depending on the clock; its own tests hold its resources.
    std::ofstream(xdg.HomeKeyFile(), std::ios::app) << "\"RecordLevels\"=dword:00000000\n";
    MeterMonitor monitor;
    ASSERT_TRUE(monitor.StartWorker());
    monitor.RequestFirstConnection();

    const std::vector<Phase> phases = Phases(timeoutMs);
    int level = 700;
    int successes = 0;
    int stretchSuccesses = 0;
    ProcessUse warm;
    for (int poll = 0; poll < Polls; ++poll) {
        const int stretch = poll / PollsPerPhase;
        if (poll % PollsPerPhase == 0) {
            // Every other stretch a sound meter with a new level, so a stale value shows.
            const bool sound = stretch % 2 == 0;
            const Phase& phase = phases[(stretch / 2) % phases.size()];
            for (const std::string& command :
                 sound ? std::vector<std::string>{"raw off", "silent off", "delay 0"} : phase.commands)
                ASSERT_EQ(sim.Command(command), "ok") << command;
            if (sound || phase.answers)
                sim.Set("level", "integer", std::to_string(++level));
            stretchSuccesses = 0;
        }
        monitor.RequestPoll();
        ASSERT_TRUE(WaitUntil([&] { return !monitor.PollPending(); })) << "poll " << poll;

        const DiagnosticsCopy stats = monitor.CopyForDiagnostics();
        const PaintCopy shown = monitor.CopyForPainting();
        ASSERT_EQ(stats.PollCount, poll + 1);
        if (stats.ConsecutiveErrors == 0) {
            ++successes;
            ++stretchSuccesses;
            ASSERT_DOUBLE_EQ(shown.CurrentLevel, level / 10.0) << "poll " << poll << ": a level not the meter's";
        } else if (stats.ConsecutiveErrors >= 3) {
            ASSERT_EQ(shown.CurrentLevel, -1.0) << "poll " << poll << ": a stale level after the third failure";
            ASSERT_STREQ(shown.DoseText, "---");
        }
        if (poll % PollsPerPhase == PollsPerPhase - 1 && stretch % 2 == 0) {
            ASSERT_GT(stretchSuccesses, PollsPerPhase / 2) << "poll " << poll << ": the engine did not recover";
        }
        if (poll + 1 == WarmUpPolls)
            warm = Measure();
    }
    const DiagnosticsCopy stats = monitor.CopyForDiagnostics();
    EXPECT_EQ(stats.PollCount, successes + stats.ErrorCount);
    EXPECT_GT(stats.ErrorCount, Polls / 4);

    const ProcessUse end = Measure();
    std::printf("soak: %d polls, %d errors; after the warm-up RSS %ld -> %ld kB, fds %ld -> %ld, threads %ld -> %ld\n",
                stats.PollCount, stats.ErrorCount, warm.rssKb, end.rssKb, warm.fds, end.fds, warm.threads, end.threads);
    EXPECT_EQ(end.fds, warm.fds);
    EXPECT_EQ(end.threads, warm.threads);
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine; there LeakSanitizer's check stands in.
    EXPECT_LT(end.rssKb - warm.rssKb, 1024) << "resident memory grew after the warm-up";
#endif
    monitor.StopWorker();
}

}  // namespace
