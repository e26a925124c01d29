// At most once per period, on a clock the test moves by hand.
#include "platform/sys/pacer.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(Pacer, GrantsTheFirstTimeAndThenOncePerWholePeriod) {
    Pacer::Clock::time_point now{};
    Pacer pacer(30s, [&] { return now; });
    const struct {
        std::chrono::milliseconds at;
        bool granted;
    } steps[] = {
        {0ms, true},      {1ms, false},    {29999ms, false}, {30000ms, true},
        {30001ms, false}, {65000ms, true}, {94999ms, false}, {95000ms, true},
    };
    for (const auto& step : steps) {
        now = Pacer::Clock::time_point(step.at);
        EXPECT_EQ(pacer.Take(), step.granted) << "at " << step.at.count() << " ms";
    }
    pacer.Reset();
    EXPECT_TRUE(pacer.Take()) << "after a reset at once";
    EXPECT_FALSE(pacer.Take());
}

}  // namespace
