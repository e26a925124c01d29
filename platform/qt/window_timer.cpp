#include "platform/qt/window_timer.h"

#include <QTimerEvent>

#include <algorithm>
#include <utility>

WindowTimers::WindowTimers(TickHandler onTick, QObject* owner) : QObject(owner), onTick_(std::move(onTick)) {}

void WindowTimers::SetTimer(unsigned id, int milliseconds) {
    // Precise: the coarse default may shift a one-second period by 50 ms.
    timers_[id].start(std::max(milliseconds, 1), Qt::PreciseTimer, this);
}

bool WindowTimers::KillTimer(unsigned id) {
    const auto found = timers_.find(id);
    if (found == timers_.end())
        return false;
    const bool wasArmed = found->second.isActive();
    timers_.erase(found);  // QBasicTimer stops itself when destroyed
    return wasArmed;
}

bool WindowTimers::IsArmed(unsigned id) const {
    const auto found = timers_.find(id);
    return found != timers_.end() && found->second.isActive();
}

void WindowTimers::timerEvent(QTimerEvent* event) {
    const auto ticked = std::find_if(timers_.begin(), timers_.end(),
                                     [&](const auto& entry) { return entry.second.timerId() == event->timerId(); });
    if (ticked == timers_.end()) {
        QObject::timerEvent(event);
        return;
    }
    onTick_(ticked->first);  // the handler may re-arm or kill any timer, this one included
}
