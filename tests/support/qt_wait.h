#pragma once
// Waiting in Qt tests: the event loop runs while WaitUntil checks.

#include "tests/support/wait_until.h"

#include <QCoreApplication>

namespace decimon::test {

// One short turn of the event loop: WaitUntil's step for tests with windows and timers.
inline void ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Lets the event loop run for `timeout`.
inline void ProcessEventsFor(std::chrono::milliseconds timeout) {
    WaitUntil([] { return false; }, timeout, ProcessEvents);
}

}  // namespace decimon::test
