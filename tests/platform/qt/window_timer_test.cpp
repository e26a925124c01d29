// Window timers by identifier: ticks carry their identifier, re-arming replaces, killing stops.
#include "platform/qt/window_timer.h"

#include "tests/support/qt_wait.h"

#include <gtest/gtest.h>

#include <vector>

using namespace decimon::test;

namespace {

using namespace std::chrono_literals;

class WindowTimersTest : public ::testing::Test {
protected:
    std::vector<unsigned> ticks_;
    QObject owner_;
    WindowTimers timers_{[this](unsigned id) { ticks_.push_back(id); }, &owner_};
};

TEST_F(WindowTimersTest, TicksCarryTheirIdentifier) {
    timers_.SetTimer(7, 10);
    timers_.SetTimer(13101, 25);
    WaitUntil([&] { return std::count(ticks_.begin(), ticks_.end(), 13101u) >= 2; }, 2000ms, ProcessEvents);
    EXPECT_GE(std::count(ticks_.begin(), ticks_.end(), 13101u), 2);
    EXPECT_GE(std::count(ticks_.begin(), ticks_.end(), 7u), 2);
    EXPECT_EQ(std::count_if(ticks_.begin(), ticks_.end(), [](unsigned id) { return id != 7 && id != 13101; }), 0);
    EXPECT_TRUE(timers_.IsArmed(7));
    EXPECT_TRUE(timers_.IsArmed(13101));
    EXPECT_FALSE(timers_.IsArmed(8));
}

TEST_F(WindowTimersTest, ArmingAgainReplacesThePeriod) {
    timers_.SetTimer(5, 20);
    timers_.SetTimer(5, 60000);
    ProcessEventsFor(300ms);
    EXPECT_TRUE(ticks_.empty()) << "the 20 ms timer still ticked after it was re-armed at 60 s";
    EXPECT_TRUE(timers_.IsArmed(5));
}

TEST_F(WindowTimersTest, KillStopsTheTimerAndReportsWhetherItRan) {
    timers_.SetTimer(5, 10);
    timers_.SetTimer(6, 10);
    EXPECT_TRUE(timers_.KillTimer(5));
    WaitUntil([&] { return ticks_.size() >= 3; }, 2000ms, ProcessEvents);
    EXPECT_EQ(std::count(ticks_.begin(), ticks_.end(), 5u), 0);
    EXPECT_GE(ticks_.size(), 3u);
    EXPECT_FALSE(timers_.IsArmed(5));
    EXPECT_FALSE(timers_.KillTimer(5));
    EXPECT_FALSE(timers_.KillTimer(99));
}

TEST(WindowTimers, HandlerMayRearmOrKillItsOwnTimer) {
    QObject owner;
    int ticks = 0;
    WindowTimers* timers = nullptr;
    WindowTimers own(
        [&](unsigned id) {
            if (++ticks == 1)
                timers->SetTimer(id, 15);  // the first tick moves to another period
            else
                timers->KillTimer(id);
        },
        &owner);
    timers = &own;
    own.SetTimer(3, 5);
    ProcessEventsFor(500ms);
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(own.IsArmed(3));
}

}  // namespace
