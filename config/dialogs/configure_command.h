#pragma once
// The Configure command of the meter view: the password gate, the configuration dialog on a
// copy of the settings, and after OK the new settings stored under the lock and saved; when
// the host or a polling setting changed, the running worker is reset and reconnects at once.
// A save that fails is told in a message box; the new settings run all the same. While the
// settings file that the monitor loaded could not be read, the command only says so.

class MeterMonitor;
class QWidget;

// The view's poll timer, as the command stops and re-arms it.
class PollTimerControl {
public:
    virtual ~PollTimerControl() = default;
    virtual void KillPollTimer() = 0;
    // Whether the timer's handler is running now.
    virtual bool InPollTimerTick() const = 0;
    virtual void SetPollTimer(int milliseconds) = 0;
};

// Runs the command on the user-interface thread; `view` owns its dialogs and message boxes.
// One password attempt per command. The caller repaints the view afterwards, whatever came of it.
void RunConfigureCommand(QWidget* view, MeterMonitor& monitor, PollTimerControl& pollTimer);
