#include "platform/sys/steady_clock.h"

namespace {

SteadyClock::Source currentSource = nullptr;

using Days = std::chrono::duration<double, std::ratio<86400>>;

}  // namespace

void SteadyClock::SetSource(Source source) {
    currentSource = source;
}

SteadyTime SteadyClock::Now() {
    return currentSource ? currentSource() : std::chrono::steady_clock::now();
}

COleDateTimeSpan SteadyClock::SpanSince(SteadyTime start) {
    return COleDateTimeSpan(std::chrono::duration_cast<Days>(Now() - start).count());
}
