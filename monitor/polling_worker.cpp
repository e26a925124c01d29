#include "monitor/polling_worker.h"

#include "monitor/dose.h"
#include "monitor/exposure.h"
#include "monitor/meter_monitor.h"
#include "platform/sys/fixed_text.h"
#include "platform/sys/pacer.h"
#include "record/minute_aggregator.h"
#include "snmp/snmp_device.h"

#include <algorithm>
#include <cstring>
#include <optional>

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
        countedWeighting_.clear();
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
        const SteadyTime begun = SteadyClock::Now();
        ExtendOverrun(begun);
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
            if (std::strcmp(snapshot_.WeightingText, NoValueText) != 0)
                countedWeighting_ = snapshot_.WeightingText;
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
        // A level read with a weighting that was not counts under the last weighting read on this
        // session, or, before any, not at all: the same in the counters and in the record.
        const bool counted = success && !countedWeighting_.empty();
        const bool published = WriteBack(success, level, counted);
        if (!counted || !published)
            return;
        if (monitor_.recorder_) {
            monitor_.recorder_->NoteMeter(polledAt, sessionHost_, snapshot_.SysName, snapshot_.SysLocation,
                                          levelOffset_);
            monitor_.recorder_->AddSample(polledAt, sessionHost_, countedWeighting_, level + levelOffset_,
                                          pollingInterval_);
        }
        const double span = MinuteAggregator::SpanSeconds(pollingInterval_);
        if (SecondsBetween(begun, SteadyClock::Now()) > span)
            overrun_ = Overrun{begun, span, level + levelOffset_, countedWeighting_, snapshot_.ResetGeneration};
    }

    // A counted poll that took longer than its interval: its level is shown until the next poll
    // begins, and that time beyond its span is counted when the next poll begins, in the
    // counters and the record alike, unless a reset dropped the level meanwhile.
    struct Overrun {
        SteadyTime begun;
        double span = 0.0;
        double level = 0.0;
        std::string weighting;
        std::uint32_t resetGeneration = 0;
    };

    void ExtendOverrun(SteadyTime nextBegun) {
        if (!overrun_)
            return;
        const Overrun overrun = std::move(*overrun_);
        overrun_.reset();
        const double stood =
            std::min(SecondsBetween(overrun.begun, nextBegun), static_cast<double>(MinuteAggregator::MaxSpanSeconds));
        const double extra = stood - overrun.span;
        if (!(extra > 0.0))
            return;
        {
            Lock lock(monitor_.StateLock);
            if (monitor_.State.ResetGeneration != overrun.resetGeneration)
                return;
            CountExposure(monitor_.State, overrun.weighting.c_str(), overrun.level, extra);
        }
        if (monitor_.recorder_)
            monitor_.recorder_->ExtendSample(extra);
    }

    static double SecondsBetween(SteadyTime from, SteadyTime to) {
        return std::chrono::duration<double>(to - from).count();
    }

    // Step 4.6: one locked section. The counters are published as this poll's increments,
    // so that a Clear made meanwhile stands, unless a new host zeroed them meanwhile: the
    // poll was not one of the new host's. The level and the texts only when no reset after
    // a configuration change came meanwhile, since they belong to the old settings; nor is
    // the poll request cleared then, since the reset's first tick set it for the new session.
    // The exposure counters take the poll when `counted`. True when the level was published.
    bool WriteBack(bool success, double level, bool counted) {
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
            if (counted)
                CountExposure(state, countedWeighting_.c_str(), level + levelOffset_,
                              MinuteAggregator::SpanSeconds(pollingInterval_));
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
    std::string countedWeighting_;                      // the last weighting read on the current session
    std::optional<Overrun> overrun_;                    // the last poll, when it overran its interval
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
