#pragma once
// The Configure command of the meter view: the password gate, the configuration dialog on a
// copy of the settings, and after OK the new settings stored under the lock and saved; when
// the host or a polling setting changed, the running worker is reset and reconnects at once.
// A save that fails is told in a message box; the new settings run all the same. The command
// first takes up the language the settings file names now. While the
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

// Installs the display language of the setting "Language" (English, with one line on standard
// error, when it cannot be used). At start, and again by each Configure command, so that a
// language written into the settings file takes effect without a restart.
void UseLanguageSetting();

// Runs the command on the user-interface thread; `view` owns its dialogs and message boxes.
// One password attempt per command. The caller repaints the view afterwards, whatever came of it.
void RunConfigureCommand(QWidget* view, MeterMonitor& monitor, PollTimerControl& pollTimer);
