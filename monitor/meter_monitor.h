#pragma once
// The monitoring side of the meter view: the shared state with its lock, the settings the
// worker reads, the polling worker's thread, and the exposure record the worker feeds (unless
// the settings file turns it off). The view derives from it; without a window it runs the
// whole monitoring pipeline.

#include "config/settings.h"
#include "config/settings_store.h"
#include "monitor/monitor_state.h"
#include "platform/sys/stop_signal.h"
#include "platform/sys/win_thread.h"
#include "record/level_recorder.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class MeterMonitor {
public:
    // Lock, start time, defaults, and the settings loaded from the settings store (when its
    // file cannot be read, the factory defaults, and one line on standard error that says
    // so). The worker is not started yet: the owner starts it once its own set-up is done.
    MeterMonitor();
    virtual ~MeterMonitor();
    MeterMonitor(const MeterMonitor&) = delete;
    MeterMonitor& operator=(const MeterMonitor&) = delete;

    // Starts the polling worker, and the exposure record's writer first; false (and no
    // worker for the monitor's life) when no thread could be started.
    bool StartWorker();
    // Asks the worker to stop and waits, without limit, until it has closed its session and
    // ended; a name lookup or a request under way is abandoned, so the wait is short. Then
    // ends the record's minute under way and waits a bounded time for its last write. Does
    // nothing when no worker runs.
    void StopWorker();
    bool HasWorker() const { return WorkerThread != nullptr; }
    // At a sudden end of the process (the display server gone), on the thread that runs the
    // view: ends the record's minute under way and waits at most `bound` until it and the
    // minutes held back are written. The worker runs on until the process ends.
    void WriteRecordAtOnce(std::chrono::milliseconds bound);

    // The operations the view performs on the shared state, each under StateLock.
    void RequestPoll();
    void RequestFirstConnection();
    // Takes over settings accepted by the configuration dialog.
    void StoreSettings(const Settings& settings);
    // After a change of the host or a polling parameter: drops the shown values (and the
    // counters when the host changed, in the same locked step as the counted host takes the
    // new HostName), ends the record's minute under way, and asks the
    // worker for a new session at once: a name lookup or a request under way for the old
    // settings is abandoned.
    void ResetAfterConfigurationChange(bool hostChanged);
    void ClearCounters();
    PaintCopy CopyForPainting() const;
    DiagnosticsCopy CopyForDiagnostics() const;
    // For the metrics page, from any thread; never waits for a poll or the database.
    MetricsCopy CopyForMetrics() const;
    // The minutes of `host` the record does not hold yet (LevelRecorder::UnwrittenMinutes);
    // none when the record is off.
    std::vector<MinuteRow> UnwrittenMinutes(std::string_view host) const;
    // Whether another display records into the record, so that this one records nothing.
    bool RecordsElsewhere() const;
    // Whether a requested poll is still waiting for its write-back, and whether the worker
    // holds a session now.
    bool PollPending() const;
    bool HasSession() const;

    // The settings, read on the user-interface thread (their only writer) without the lock.
    const Settings& CurrentSettings() const { return settings_; }
    // The settings file that was there but could not be read when the settings were loaded
    // (the settings are the factory defaults then); null when it was read or there was none.
    const SettingsFileError* UnreadableSettingsFile() const {
        return unreadableSettings_ ? &*unreadableSettings_ : nullptr;
    }
    // Why the settings file's Password cannot be used (a broken line names it, or it is given
    // twice): then no password opens the configuration. Empty when it can.
    const std::string& UnusablePassword() const { return unusablePassword_; }
    // "MetricsAddress" as the settings file held it at start; an empty text: no metrics endpoint.
    const ExtraText& MetricsAddress() const { return metricsAddress_; }
    // "MetricsWebConfig" as read at start; an empty text: plain HTTP without passwords.
    const ExtraText& MetricsWebConfig() const { return metricsWebConfig_; }

private:
    // Hands the recorder the site's shifts as the display judges them now (the setting Shifts,
    // or the default from ShiftLenHours), to be kept with the time they took effect.
    void NoteShiftPattern();
    friend class PollingCycle;

    mutable std::recursive_mutex StateLock;
    // Notified by every request, under StateLock: the idle worker sleeps on it.
    std::condition_variable_any requestArrived_;
    MonitorState State;
    Settings settings_;
    std::optional<SettingsFileError> unreadableSettings_;
    std::string unusablePassword_;
    bool recordLevels_ = true;
    std::int32_t recordKeepDays_ = SettingsStore::DefaultRecordKeepDays;
    ExtraText metricsAddress_;
    ExtraText metricsWebConfig_;
    // Made with the worker and ended after it: the worker uses it without the lock.
    std::unique_ptr<LevelRecorder> recorder_;
    // Raised to abandon the worker's blocking calls: by a stop, and by a reset, which puts a
    // fresh one in its place for the next session. Held by the worker's session.
    std::shared_ptr<StopSignal> abandon_;
    std::unique_ptr<CWinThread> WorkerThread;
};

// The poll timer's period for a PollingInterval in seconds, kept within what a timer takes.
int PollTimerMilliseconds(int pollingInterval);
