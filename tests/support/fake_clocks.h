#pragma once
// The program's clocks under a test's control for the life of a FakeClocks: the wall clock
// and time zone that local date-times read (COleDateTime) and the monotonic clock that spans
// are measured on (SteadyClock). Real time passing moves both clocks; setting the wall clock
// or the zone moves neither the other clock nor the monotonic one. The old zone is put back
// and the system's clocks restored afterwards. One at a time; the worker thread may read it.

#include "platform/sys/ole_date_time.h"
#include "platform/sys/steady_clock.h"
#include "tests/support/time_zone.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace decimon::test {

class FakeClocks {
public:
    explicit FakeClocks(std::time_t wallNow = 1700000000, const char* zone = "UTC") : zone_(zone) {
        SetWallClock(wallNow);
        steadyNow_ = SteadyTime::duration(std::chrono::hours(1000)).count();
        COleDateTime::SetClock(Wall);
        SteadyClock::SetSource(Steady);
    }
    ~FakeClocks() {
        COleDateTime::SetClock(nullptr);
        SteadyClock::SetSource(nullptr);
    }
    FakeClocks(const FakeClocks&) = delete;
    FakeClocks& operator=(const FakeClocks&) = delete;

    // Real time passes: both clocks move on by `elapsed` (the wall clock in whole seconds).
    void Advance(std::chrono::milliseconds elapsed) {
        wallMs_ += elapsed.count();
        steadyNow_ += std::chrono::duration_cast<SteadyTime::duration>(elapsed).count();
    }
    // The wall clock is set to `wallNow` (seconds since 1970, UTC); nothing else moves.
    void SetWallClock(std::time_t wallNow) { wallMs_ = static_cast<long long>(wallNow) * 1000; }
    // The local time zone, as a TZ value.
    static void SetZone(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }

private:
    static std::time_t Wall() { return static_cast<std::time_t>(wallMs_.load() / 1000); }
    static SteadyTime Steady() { return SteadyTime(SteadyTime::duration(steadyNow_.load())); }

    static inline std::atomic<long long> wallMs_{0};
    static inline std::atomic<SteadyTime::rep> steadyNow_{0};
    TimeZone zone_;  // puts the old zone back last
};

}  // namespace decimon::test
