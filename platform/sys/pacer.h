#pragma once
// Lets something happen at most once per period: the first time at once, then again only
// when a whole period has passed since the last time, on the monotonic clock (SteadyClock,
// which tests move on without waiting).

#include "platform/sys/steady_clock.h"

#include <optional>

class Pacer {
public:
    explicit Pacer(SteadyTime::duration period) : period_(period) {}

    // True when the thing may happen now; its period then begins.
    bool Take() {
        const SteadyTime now = SteadyClock::Now();
        if (last_ && now - *last_ < period_)
            return false;
        last_ = now;
        return true;
    }
    // Forgets the last time: the next Take is granted.
    void Reset() { last_.reset(); }

private:
    SteadyTime::duration period_;
    std::optional<SteadyTime> last_;
};
