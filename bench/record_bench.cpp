// What the exposure record costs: a poll handed to the recorder, a minute written, and the
// share of one core both take at one poll a second; then a year of minutes (525,600 rows, as
// the writer lays them down an hour at a time): the database's size, and decimon-levels over
// the year, by minute and by day.
//   record_bench [--benchmark_filter=...]
#include "config/settings_store.h"
#include "record/level_recorder.h"
#include "record/level_store.h"
#include "tests/support/child_process.h"
#include "tests/support/level_database.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace decimon::test;

namespace {

constexpr std::int64_t YearStart = 1735689600;  // 2025-01-01 00:00:00 UTC
constexpr int MinutesPerYear = 525600;

// One minute of a realistic host at a moving level.
MinuteRow Minute(std::int64_t index) {
    const double level = 70.0 + static_cast<double>(index % 300) / 10.0;
    return {"soundmeter", YearStart + 60 * index, "dBA", 60, 60.0, level + 0.05, level - 4.2, level + 7.9};
}

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A poll handed in: the aggregation under the recorder's lock; every 60th ends a minute and
// wakes the writer thread (whose work BM_WriteMinute measures).
void BM_RecorderSample(benchmark::State& state) {
    LevelDatabase database;
    auto recorder = LevelRecorder::Start(database.Path().string(), SettingsStore::DefaultRecordKeepDays);
    std::int64_t second = YearStart;
    for (auto _ : state)
        recorder->AddSample(second++, "soundmeter", "dBA", 85.3, 1);
    recorder->Stop(std::chrono::seconds(10));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecorderSample);

// The writer watching the clock while a minute is under way (it looks once a second, so that a
// silent meter's minute ends on time): the process's CPU time over 10 s in which nothing else
// runs, as a share of one core.
void BM_WriterWatchingTheClock(benchmark::State& state) {
    LevelDatabase database;
    auto recorder = LevelRecorder::Start(database.Path().string(), SettingsStore::DefaultRecordKeepDays);
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    recorder->AddSample(now + 3600, "soundmeter", "dBA", 85.3, 1);  // a minute that stays under way
    for (auto _ : state) {
        rusage before{};
        rusage after{};
        getrusage(RUSAGE_SELF, &before);
        std::this_thread::sleep_for(std::chrono::seconds(10));
        getrusage(RUSAGE_SELF, &after);
        auto seconds = [](const rusage& u) {
            return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
        };
        state.counters["core_percent"] = (seconds(after) - seconds(before)) / 10.0 * 100.0;
    }
    recorder->Stop(std::chrono::seconds(10));
}
BENCHMARK(BM_WriterWatchingTheClock)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// One finished minute written in its own transaction, as the writer thread does once a
// minute, to a database that grows; CPU time of the writing thread.
void BM_WriteMinute(benchmark::State& state) {
    LevelDatabase database;
    LevelStore store(database.Path().string());
    std::int64_t index = 0;
    double cpu = 0.0;
    for (auto _ : state) {
        const MinuteRow row = Minute(index++);
        const double before = ThreadCpuSeconds();
        if (!store.Write(std::span(&row, 1))) {
            state.SkipWithError(store.Error().c_str());
            return;
        }
        cpu += ThreadCpuSeconds() - before;
    }
    state.counters["cpu_us_per_minute"] = cpu / static_cast<double>(state.iterations()) * 1e6;
}
BENCHMARK(BM_WriteMinute)->UseRealTime();

// A year of minutes, made once: an hour per transaction (the rows land in the pages as the
// writer's minute by minute do: in key order, at the end of the table).
class YearOfMinutes {
public:
    YearOfMinutes() {
        setenv("XDG_DATA_HOME", (data_.Folder() / "data").c_str(), 1);
        path_ = data_.Folder() / "data" / "Corvanta" / "Decimon" / "levels.sqlite3";
        LevelStore store(path_.string());
        std::vector<MinuteRow> hour;
        for (int index = 0; index < MinutesPerYear; ++index) {
            hour.push_back(Minute(index));
            if (hour.size() == 60 && store.Write(hour))
                hour.clear();
        }
        store.Close();  // the last connection's close checkpoints the log into the file
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    LevelDatabase data_;
    std::filesystem::path path_;
};

YearOfMinutes& Year() {
    static YearOfMinutes year;
    return year;
}

void BM_YearDatabaseSize(benchmark::State& state) {
    const auto& path = Year().Path();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::filesystem::file_size(path));
    state.counters["rows"] = MinutesPerYear;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_YearDatabaseSize)->Iterations(1);

// The writer's connection to a year's record: opened (with the check of the whole file), one
// minute written; SQLite's memory in use after it, as the display holds it between minutes.
void BM_StoreMemoryOverTheYear(benchmark::State& state) {
    const auto& path = Year().Path();
    std::int64_t index = MinutesPerYear;
    for (auto _ : state) {
        LevelStore store(path.string());
        const MinuteRow row = Minute(index++);
        if (!store.Write(std::span(&row, 1))) {
            state.SkipWithError(store.Error().c_str());
            return;
        }
        state.counters["sqlite_kB"] = static_cast<double>(sqlite3_memory_used()) / 1024;
    }
}
BENCHMARK(BM_StoreMemoryOverTheYear)->Unit(benchmark::kMillisecond)->Iterations(3);

// decimon-levels over the whole year, its output read and dropped; wall time.
void LevelsOverTheYear(benchmark::State& state, std::vector<std::string> extra) {
    Year();
    std::vector<std::string> argv = {DECIMON_LEVELS, "--from", "2025-01-01", "--to", "2025-12-31"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    std::size_t lines = 0;
    for (auto _ : state) {
        ChildProcess program(argv, ChildProcess::Stderr::Inherit,
                             std::vector<std::string>{"TZ=UTC", "XDG_DATA_HOME=" + std::string(getenv("XDG_DATA_HOME")),
                                                      "XDG_CONFIG_HOME=/nonexistent"});
        lines = 0;
        while (program.ReadLine(std::chrono::seconds(60)))
            ++lines;
        if (program.WaitExit(std::chrono::seconds(60)) != 0)
            state.SkipWithError("decimon-levels failed");
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK_CAPTURE(LevelsOverTheYear, minutes, std::vector<std::string>{})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(LevelsOverTheYear, daily, std::vector<std::string>{"--daily"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
