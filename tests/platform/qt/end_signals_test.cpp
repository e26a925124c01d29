// The end signals reach the event loop as Received, in the order they came, and the handlers
// that were there before come back afterwards; one ignored at start stays ignored, but SIGTERM.
#include "platform/qt/end_signals.h"

#include "tests/support/qt_wait.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

using namespace decimon::test;

namespace {

std::vector<int> ReceivedNumbers(const QSignalSpy& spy) {
    std::vector<int> numbers;
    for (const QList<QVariant>& arguments : spy)
        numbers.push_back(arguments.at(0).toInt());
    return numbers;
}

TEST(EndSignalsTest, EachSignalReachesTheEventLoopAndTogetherTheyArriveInTheirOrder) {
    EndSignals watcher;
    QSignalSpy received(&watcher, &EndSignals::Received);
    for (int number : EndSignals::Handled) {
        SCOPED_TRACE(strsignal(number));
        received.clear();
        ASSERT_EQ(std::raise(number), 0);
        EXPECT_TRUE(WaitUntil([&] { return !received.isEmpty(); }, Scaled(std::chrono::seconds(2)), ProcessEvents));
        EXPECT_EQ(ReceivedNumbers(received), std::vector<int>{number});
    }
    received.clear();
    std::raise(SIGHUP);
    std::raise(SIGTERM);
    std::raise(SIGINT);
    WaitUntil([&] { return received.size() >= 3; }, Scaled(std::chrono::seconds(2)), ProcessEvents);
    EXPECT_EQ(ReceivedNumbers(received), (std::vector<int>{SIGHUP, SIGTERM, SIGINT}));
}

volatile std::sig_atomic_t earlierHandlerRan = 0;

TEST(EndSignalsTest, TheEarlierHandlersComeBack) {
    struct sigaction earlier {
    }, saved{};
    earlier.sa_handler = [](int) { earlierHandlerRan = 1; };
    sigemptyset(&earlier.sa_mask);
    ASSERT_EQ(sigaction(SIGHUP, &earlier, &saved), 0);
    { EndSignals watcher; }
    std::raise(SIGHUP);
    EXPECT_EQ(earlierHandlerRan, 1);
    sigaction(SIGHUP, &saved, nullptr);
}

// As under nohup (SIGHUP) or in a background job (SIGINT): the signal stays ignored while the
// watcher lives, and the disposition is the same after it; SIGTERM is watched all the same.
TEST(EndSignalsTest, ASignalIgnoredAtStartStaysIgnoredButTerm) {
    for (int number : EndSignals::Handled) {
        SCOPED_TRACE(strsignal(number));
        struct sigaction ignore {
        }, saved{}, during{}, after{};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ASSERT_EQ(sigaction(number, &ignore, &saved), 0);
        {
            EndSignals watcher;
            QSignalSpy received(&watcher, &EndSignals::Received);
            sigaction(number, nullptr, &during);
            ASSERT_EQ(std::raise(number), 0);
            const bool watched = number == SIGTERM;
            EXPECT_EQ(during.sa_handler == SIG_IGN, !watched);
            // An ignored one would have arrived long before the bound: its handler writes at once.
            const auto bound = watched ? Scaled(std::chrono::seconds(2)) : std::chrono::milliseconds(300);
            EXPECT_EQ(WaitUntil([&] { return !received.isEmpty(); }, bound, ProcessEvents), watched);
        }
        sigaction(number, &saved, &after);
        EXPECT_EQ(after.sa_handler, SIG_IGN) << "the disposition at start did not come back";
    }
}

}  // namespace
