#pragma once
// The one way tests wait for something another thread, process or the event loop brings about.

#include <chrono>
#include <functional>
#include <thread>

namespace decimon::test {

// Checks `done` until it holds or `timeout` has passed; true when it held. Between two checks
// runs `step`: by default a short sleep; Qt tests pass ProcessEvents (qt_wait.h) so that
// timers and paints go on meanwhile.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5),
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
