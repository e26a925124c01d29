#pragma once
// Window timers addressed by identifier, as a window keeps them: arming an identifier that
// is already armed replaces its timer, killing it stops it, and each tick is handed to the
// owner's handler together with its identifier.

#include <QBasicTimer>
#include <QObject>

#include <functional>
#include <map>

class WindowTimers : public QObject {
    Q_OBJECT

public:
    using TickHandler = std::function<void(unsigned id)>;

    // `onTick` runs on the owner's thread for every tick of every armed identifier.
    WindowTimers(TickHandler onTick, QObject* owner);

    // Arms (or re-arms) the timer `id` to tick every `milliseconds` (at least 1) from now.
    void SetTimer(unsigned id, int milliseconds);
    // Stops the timer `id`; false when it was not armed.
    bool KillTimer(unsigned id);
    bool IsArmed(unsigned id) const;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    TickHandler onTick_;
    std::map<unsigned, QBasicTimer> timers_;
};
