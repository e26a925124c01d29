// The end signals reach the event loop as Received, in the order they came, and the handlers
// that were there before come back afterwards.
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

}  // namespace
