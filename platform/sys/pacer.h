#pragma once
// Lets something happen at most once per period: the first time at once, then again only
// when a whole period has passed since the last time. The clock is the owner's choice, so
// that a test can move time on without waiting.

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

class Pacer {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    explicit Pacer(Clock::duration period, Now now = Clock::now) : period_(period), now_(std::move(now)) {}

    // True when the thing may happen now; its period then begins.
    bool Take() {
        const Clock::time_point now = now_();
        if (last_ && now - *last_ < period_)
            return false;
        last_ = now;
        return true;
    }
    // Forgets the last time: the next Take is granted.
    void Reset() { last_.reset(); }

private:
    Clock::duration period_;
    Now now_;
    std::optional<Clock::time_point> last_;
};
