#pragma once
// The one way tests wait for something another thread, process or the event loop brings about.

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace decimon::test {

// How many times longer the tests' time bounds are: DECIMON_TIME_SCALE, a whole number from 1
// to 20, which the test command sets for the sanitizer builds (they run several times slower).
inline int TimeScale() {
    const char* text = std::getenv("DECIMON_TIME_SCALE");
    const int scale = text ? std::atoi(text) : 1;
    return scale >= 1 && scale <= 20 ? scale : 1;
}

// A time bound of a test, scaled by TimeScale().
inline std::chrono::milliseconds Scaled(std::chrono::milliseconds bound) {
    return bound * TimeScale();
}

// Checks `done` until it holds or `timeout` has passed; true when it held. Between two checks
// runs `step`: by default a short sleep; Qt tests pass ProcessEvents (qt_wait.h) so that
// timers and paints go on meanwhile.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = Scaled(std::chrono::seconds(5)),
                      const std::function<void()>& step = {}) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (step)
            step();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace decimon::test
