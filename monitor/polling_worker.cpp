#include "monitor/polling_worker.h"

#include "monitor/dose.h"
#include "monitor/exposure.h"
#include "monitor/meter_monitor.h"
#include "platform/sys/fixed_text.h"
#include "platform/sys/pacer.h"
#include "snmp/snmp_device.h"

#include <algorithm>

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr int ErrorThreshold = 3;
// How often a meter that does not answer has its name looked up again.
constexpr std::chrono::seconds LookAgainPeriod{30};
constexpr double LevelScale = 10.0;
constexpr int StringReadSize = 256;
// A poll must stay bounded even with values no dialog produces.
constexpr int MaxSessionTimeoutMs = 60000;
constexpr int MaxSessionRetries = 9;

}  // namespace

int SessionTimeoutMs(int snmpTimeout) {
    return std::clamp(snmpTimeout, 1, MaxSessionTimeoutMs);
}

int SessionRetries(int snmpRetries) {
    return std::clamp(snmpRetries, 0, MaxSessionRetries);
}

std::string ComposeFooter(const char* sysName, const char* sysLocation) {
    if (sysName[0] == '\0')
        return FixedFooter;
    constexpr std::size_t capacity = sizeof(MonitorState::FooterText) - 1;
    const std::string tail = std::string(", ") + FixedFooter;
    std::string identity = std::string(sysName) + ", " + sysLocation;
    identity.resize(std::min(identity.size(), capacity - tail.size()));
    return identity + tail;
}

// One cycle of the worker, on its private copies of the shared state.
class PollingCycle {
public:
    explicit PollingCycle(MeterMonitor& monitor) : monitor_(monitor), lookAgain_(LookAgainPeriod) {}

    // Serves the flags once; false when the worker must end.
    bool Run() {
        TakeSnapshot();
        if (snapshot_.StopRequested) {
            Terminate();
            return false;
        }
        if (snapshot_.ReconnectRequested)
            OpenSession();
        if (snapshot_.PollRequested)
            Poll();
        return true;
    }

    // Sleeps until a request flag is set. The wait releases the lock while it sleeps; the
    // worker holds it exactly once here, which a recursive lock needs for that. A flag that
    // is still set (a poll left for a reconnect) is served at once.
    void WaitForRequest() {
        std::unique_lock lock(monitor_.StateLock);
        const MonitorState& state = monitor_.State;
        monitor_.requestArrived_.wait(
            lock, [&] { return state.StopRequested || state.ReconnectRequested || state.PollRequested; });
    }

private:
    // Step 1: everything the cycle needs, copied under the lock.
    void TakeSnapshot() {
        Lock lock(monitor_.StateLock);
        snapshot_ = monitor_.State;
        shiftLenHours_ = monitor_.settings_.ShiftLenHours;
        levelOffset_ = monitor_.settings_.LevelOffset;
        pollingInterval_ = monitor_.settings_.PollingInterval;
    }

    // A new session for the host the settings name now; null when it cannot be opened.
    // The old session, if any, is closed and destroyed first.
    void OpenSession() {
        delete snapshot_.Device;  // closes an open session
        snapshot_.Device = nullptr;
        char hostName[HostNameCapacity];
        int timeout = 0;
        int retries = 0;
        std::uint32_t generation = 0;
        {
            Lock lock(monitor_.StateLock);
            sessionAbandon_ = monitor_.abandon_;
            monitor_.State.Device = nullptr;
            CopyFixedText(hostName, monitor_.settings_.HostName);
            timeout = monitor_.settings_.SnmpTimeout;
            retries = monitor_.settings_.SnmpRetries;
            generation = monitor_.State.ResetGeneration;
        }
        lookAgain_.Reset();
        sessionHost_ = hostName;
        auto* device = new MeterDevice(hostName);
        device->SetTimeout(SessionTimeoutMs(timeout));
        device->SetRetries(SessionRetries(retries));
        device->SetAbandonSignal(sessionAbandon_);
        if (!device->Open()) {
            delete device;
            device = nullptr;
        }
        snapshot_.Device = device;
        Lock lock(monitor_.StateLock);
        monitor_.State.Device = device;
        // A reset that came while the session was opened asked for another host: keep
        // its request, so that the next cycle opens the session it wants.
        if (monitor_.State.ResetGeneration == generation)
            monitor_.State.ReconnectRequested = 0;
    }

    void Poll() {
        // Without a session (the host did not resolve, or was not reachable as an address)
        // each request tries to open one again; nothing is counted until one is open.
        if (!snapshot_.Device)
            OpenSession();
        if (!snapshot_.Device) {
            Lock lock(monitor_.StateLock);
            monitor_.State.PollRequested = 0;
            return;
        }
        MeterDevice& device = *snapshot_.Device;
        double level = snapshot_.CurrentLevel;
        AsnInteger32 raw = 0;
        const bool success = device.GetIpValue(MeterDevice::LevelObject, &raw) != 0;
        // Left for a stop or a new configuration: not a failed read, and nothing to publish.
        // The request flag stays for the next cycle, which stops or reconnects and polls.
        if (!success && sessionAbandon_->IsRaised())
            return;
        if (success) {
            level = raw / LevelScale;
            char scratch[StringReadSize];
            if (device.GetSysName(scratch, sizeof scratch))
                CopyFixedText(snapshot_.SysName, scratch);
            if (device.GetSysLocation(scratch, sizeof scratch))
                CopyFixedText(snapshot_.SysLocation, scratch);
            CopyFixedText(snapshot_.WeightingText, device.GetWeighting());
        } else {
            snapshot_.LastErrorTime = COleDateTime::GetCurrentTime();
            snapshot_.LastErrorSteadyTime = SteadyClock::Now();
            if (snapshot_.ConsecutiveErrors + 1 >= ErrorThreshold) {
                level = NoReading;
                // The meter may have moved (a new lease, a renumbered network), or another of
                // its name's addresses may answer now: a later poll asks all of them and
                // follows the name to new ones. The lookup runs in the background.
                if (lookAgain_.Take())
                    device.LookUpAgentAgain();
            }
        }
        CopyFixedText(snapshot_.DoseText, FormatTimeToLimit(level, levelOffset_, shiftLenHours_));
        CopyFixedText(snapshot_.FooterText, ComposeFooter(snapshot_.SysName, snapshot_.SysLocation));
        // The record takes the level as painted, at the time of the poll; outside the lock.
        const std::int64_t polledAt = COleDateTime::GetCurrentCalendarTime();
        const bool published = WriteBack(success, level);
        if (success && published && monitor_.recorder_)
            monitor_.recorder_->AddSample(polledAt, sessionHost_, snapshot_.WeightingText, level + levelOffset_,
                                          pollingInterval_);
    }

    // Step 4.6: one locked section. The counters are published as this poll's increments,
    // so that a Clear made meanwhile stands, unless a new host zeroed them meanwhile: the
    // poll was not one of the new host's. The level and the texts only when no reset after
    // a configuration change came meanwhile, since they belong to the old settings; nor is
    // the poll request cleared then, since the reset's first tick set it for the new session.
    // True when the level was published.
    bool WriteBack(bool success, double level) {
        Lock lock(monitor_.StateLock);
        MonitorState& state = monitor_.State;
        if (state.CounterGeneration == snapshot_.CounterGeneration) {
            state.PollCount += 1;
            if (success) {
                state.ConsecutiveErrors = 0;
            } else {
                state.ErrorCount += 1;
                state.ConsecutiveErrors += 1;
                state.LastErrorTime = snapshot_.LastErrorTime;
                state.LastErrorSteadyTime = snapshot_.LastErrorSteadyTime;
            }
        }
        if (state.ResetGeneration == snapshot_.ResetGeneration) {
            state.CurrentLevel = level;
            CopyFixedText(state.SysName, snapshot_.SysName);
            CopyFixedText(state.SysLocation, snapshot_.SysLocation);
            CopyFixedText(state.FooterText, snapshot_.FooterText);
            CopyFixedText(state.DoseText, snapshot_.DoseText);
            CopyFixedText(state.WeightingText, snapshot_.WeightingText);
            if (success)
                CountExposure(state, snapshot_.WeightingText, level + levelOffset_, pollingInterval_);
            state.PollRequested = 0;
            return true;
        }
        return false;
    }

    void Terminate() {
        delete snapshot_.Device;
        Lock lock(monitor_.StateLock);
        monitor_.State.Device = nullptr;
    }

    MeterMonitor& monitor_;
    MonitorState snapshot_;
    std::shared_ptr<const StopSignal> sessionAbandon_;  // the current session's
    Pacer lookAgain_;                                   // the current session's name lookups
    std::string sessionHost_;                           // the host the current session polls, for the record
    double shiftLenHours_ = 0.0;
    int levelOffset_ = 0;
    int pollingInterval_ = 1;
};

unsigned PollingWorker(void* monitor) {
    PollingCycle cycle(*static_cast<MeterMonitor*>(monitor));
    while (cycle.Run())
        cycle.WaitForRequest();
    return 0;
}
