// CPU time of the monitoring engine, as a share of one core: 10 s idle, then 10 s at one
// poll a second against the meter simulator, with the exposure record (RECORD_LEVELS=0:
// without). The process holds only the engine and this driver, which sleeps between requests.
#include "config/settings_store.h"
#include "monitor/meter_monitor.h"
#include "platform/sys/fixed_text.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using namespace decimon::test;

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs `phase` for `length` and prints the CPU share it cost.
template <typename Phase>
double Measure(const char* name, std::chrono::seconds length, Phase phase) {
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    phase(start + length);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double share = (ProcessCpuSeconds() - cpuBefore) / wall * 100.0;
    std::printf("%-24s %6.1f s wall  %7.4f %% of one core\n", name, wall, share);
    return share;
}

}  // namespace

int main(int argc, char** argv) {
    const auto length = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 10);
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "decimon-engine-bench";
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);  // the record too, removed at the end

    MeterSimProcess sim({"--level", "853"});
    SaveMeterSettings(sim.Agent());
    // RECORD_LEVELS=0 measures the engine without its exposure record.
    const bool record = std::getenv("RECORD_LEVELS") == nullptr || std::string(std::getenv("RECORD_LEVELS")) != "0";
    if (!record)
        std::ofstream(home / "Corvanta" / "Decimon.reg", std::ios::app) << "\"RecordLevels\"=dword:00000000\n";
    std::printf("exposure record: %s\n", record ? "on" : "off");

    MeterMonitor monitor;
    monitor.StartWorker();
    monitor.RequestFirstConnection();

    Measure("idle", length, [](auto end) { std::this_thread::sleep_until(end); });
    const double polling = Measure("one poll a second", length, [&](auto end) {
        for (auto next = std::chrono::steady_clock::now(); next < end; next += std::chrono::seconds(1)) {
            std::this_thread::sleep_until(next);
            monitor.RequestPoll();
        }
        std::this_thread::sleep_until(end);
    });
    const int polls = monitor.CopyForDiagnostics().PollCount;
    monitor.StopWorker();
    std::filesystem::remove_all(home);
    std::printf("polls made: %d; target: at most 0.2 %% of one core at one poll a second: %s\n", polls,
                polling <= 0.2 ? "met" : "NOT met");
    return 0;
}
