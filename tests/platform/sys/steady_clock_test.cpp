// The monotonic clock and its seam: spans in days from a reading to now, and the system's
// clock again once a test's source is gone.
#include "platform/sys/steady_clock.h"

#include "tests/support/fake_clocks.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using decimon::test::FakeClocks;

TEST(SteadyClock, SpansCountDaysFromAReadingToNow) {
    FakeClocks clocks;
    const struct {
        std::chrono::milliseconds Elapsed;
        double Days;
    } cases[] = {{0ms, 0.0}, {2s, 2.0 / 86400}, {1500ms, 1.5 / 86400}, {26h + 3min + 4600ms, 1 + 7384.6 / 86400}};
    for (const auto& each : cases) {
        const SteadyTime start = SteadyClock::Now();
        clocks.Advance(each.Elapsed);
        const COleDateTimeSpan span = SteadyClock::SpanSince(start);
        EXPECT_DOUBLE_EQ(span.GetTotalDays(), each.Days) << each.Elapsed.count() << " ms";
        EXPECT_EQ(span.GetStatus(), COleDateTimeSpan::valid);
    }
    EXPECT_DOUBLE_EQ(SteadyClock::SpanSince(SteadyClock::Now() + 90s).GetTotalDays(), -90.0 / 86400)
        << "a start still to come";
}

TEST(SteadyClock, WithoutATestsSourceItReadsTheSystemsMonotonicClock) {
    { FakeClocks clocks; }  // whose readings stand still
    const SteadyTime before = std::chrono::steady_clock::now();
    const SteadyTime reading = SteadyClock::Now();
    EXPECT_LE(before, reading);
    EXPECT_LE(reading, std::chrono::steady_clock::now());
}

}  // namespace
