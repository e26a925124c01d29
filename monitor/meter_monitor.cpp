#include "monitor/meter_monitor.h"

#include "config/settings_store.h"
#include "config/shift_length_setting.h"
#include "exposure/site_shifts.h"
#include "monitor/polling_worker.h"
#include "platform/sys/fixed_text.h"
#include "record/level_schema.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

namespace {
using Lock = std::lock_guard<std::recursive_mutex>;
}

MeterMonitor::MeterMonitor() : abandon_(std::make_shared<StopSignal>()) {
    State.StartTime = COleDateTime::GetCurrentTime();
    State.StartSteadyTime = SteadyClock::Now();
    State.LastErrorTime = NoErrorTime();
    State.CurrentLevel = NoReading;
    State.Device = nullptr;
    CopyFixedText(State.FooterText, FixedFooter);
    CopyFixedText(State.WeightingText, NoValueText);
    State.SysName[0] = '\0';
    State.SysLocation[0] = '\0';
    CopyFixedText(State.DoseText, NoValueText);
    UnreadSettingsLines unread;
    if (SettingsFileError error; !SettingsStore::LoadSettings(settings_, &error, &unread)) {
        std::fprintf(stderr,
                     "decimon: the settings file %s cannot be read (%s); the display runs on the factory "
                     "defaults, and the configuration stays locked until the file is repaired\n",
                     error.file.c_str(), error.reason.c_str());
        unreadableSettings_ = std::move(error);
    } else if (const std::string unused = CheckShiftLenHours(settings_); !unused.empty()) {
        std::fprintf(stderr, "decimon: %s\n", unused.c_str());
    }
    for (const std::string& line : unread.said)
        std::fprintf(stderr, "decimon: %s\n", line.c_str());
    unusablePassword_ = std::move(unread.password);
    CopyFixedText(State.CountedHost, settings_.HostName);
    bool wrong = false;
    recordLevels_ = SettingsStore::LoadRecordLevels(&wrong);
    if (wrong)
        std::fputs(
            "decimon: RecordLevels in the settings file is not a dword of 0 or 1; the exposure record stays on\n",
            stderr);
    recordKeepDays_ = SettingsStore::LoadRecordKeepDays(&wrong);
    if (wrong)
        std::fprintf(stderr,
                     "decimon: RecordKeepDays in the settings file is not a dword from 0 to %d; the exposure record "
                     "keeps every minute\n",
                     SettingsStore::MaxRecordKeepDays);
    metricsAddress_ = SettingsStore::LoadMetricsAddress();
    metricsWebConfig_ = SettingsStore::LoadMetricsWebConfig();
    State.PollCount = State.ErrorCount = State.ReconnectCount = State.ConsecutiveErrors = 0;
    State.StopRequested = State.ReconnectRequested = State.PollRequested = 0;
}

MeterMonitor::~MeterMonitor() {
    StopWorker();
}

bool MeterMonitor::StartWorker() {
    if (WorkerThread)
        return true;
    if (recordLevels_ && !recorder_)
        recorder_ = LevelRecorder::Start(DefaultLevelDatabasePath(), recordKeepDays_);
    if (recorder_)
        NoteShiftPattern();
    WorkerThread = CWinThread::Begin(PollingWorker, this);
    if (!WorkerThread)
        recorder_.reset();
    return WorkerThread != nullptr;
}

void MeterMonitor::StopWorker() {
    if (!WorkerThread)
        return;
    {
        Lock lock(StateLock);
        State.StopRequested = 1;
        abandon_->Raise();
        requestArrived_.notify_one();
    }
    WorkerThread->WaitForEnd();  // outside the lock: the worker takes it to finish its cycle
    WorkerThread.reset();
    recorder_.reset();  // a bounded wait for the last minute's write
}

void MeterMonitor::WriteRecordAtOnce(std::chrono::milliseconds bound) {
    if (recorder_)
        recorder_->Stop(bound);
}

void MeterMonitor::RequestPoll() {
    Lock lock(StateLock);
    State.PollRequested = 1;
    requestArrived_.notify_one();
}

void MeterMonitor::RequestFirstConnection() {
    Lock lock(StateLock);
    State.ReconnectRequested = 1;
    requestArrived_.notify_one();
}

void MeterMonitor::NoteShiftPattern() {
    std::string rejected;
    const ShiftPattern shifts = LoadSiteShifts(settings_.ShiftLenHours, rejected);
    recorder_->NoteShiftPattern(COleDateTime::GetCurrentCalendarTime(), shifts.Text(), rejected);
}

void MeterMonitor::StoreSettings(const Settings& settings) {
    Lock lock(StateLock);
    settings_ = settings;
}

void MeterMonitor::ResetAfterConfigurationChange(bool hostChanged) {
    auto fresh = std::make_shared<StopSignal>();
    Lock lock(StateLock);
    if (hostChanged) {
        State.PollCount = State.ErrorCount = State.ReconnectCount = State.ConsecutiveErrors = 0;
        ++State.CounterGeneration;
        CopyFixedText(State.CountedHost, settings_.HostName);
    }
    State.CurrentLevel = NoReading;
    CopyFixedText(State.FooterText, FixedFooter);
    State.SysName[0] = '\0';
    State.SysLocation[0] = '\0';
    CopyFixedText(State.WeightingText, NoValueText);
    State.ReconnectRequested = 1;
    ++State.ResetGeneration;
    if (recorder_) {
        recorder_->FinishMinute();
        NoteShiftPattern();  // a new ShiftLenHours may give other default shifts
    }
    abandon_->Raise();
    abandon_ = std::move(fresh);
    requestArrived_.notify_one();
}

void MeterMonitor::ClearCounters() {
    Lock lock(StateLock);
    State.PollCount = State.ErrorCount = State.ReconnectCount = State.ConsecutiveErrors = 0;
}

PaintCopy MeterMonitor::CopyForPainting() const {
    PaintCopy copy;
    Lock lock(StateLock);
    copy.CurrentLevel = State.CurrentLevel;
    CopyFixedText(copy.WeightingText, State.WeightingText);
    CopyFixedText(copy.DoseText, State.DoseText);
    CopyFixedText(copy.FooterText, State.FooterText);
    return copy;
}

DiagnosticsCopy MeterMonitor::CopyForDiagnostics() const {
    DiagnosticsCopy copy;
    Lock lock(StateLock);
    copy.PollCount = State.PollCount;
    copy.ErrorCount = State.ErrorCount;
    copy.ReconnectCount = State.ReconnectCount;
    copy.ConsecutiveErrors = State.ConsecutiveErrors;
    CopyFixedText(copy.SysName, State.SysName);
    CopyFixedText(copy.SysLocation, State.SysLocation);
    copy.StartTime = State.StartTime;
    copy.LastErrorTime = State.LastErrorTime;
    copy.StartSteadyTime = State.StartSteadyTime;
    copy.LastErrorSteadyTime = State.LastErrorSteadyTime;
    return copy;
}

MetricsCopy MeterMonitor::CopyForMetrics() const {
    MetricsCopy copy;
    const LevelRecorder* recorder = nullptr;
    {
        Lock lock(StateLock);
        CopyFixedText(copy.HostName, State.CountedHost);
        CopyFixedText(copy.SysName, State.SysName);
        CopyFixedText(copy.SysLocation, State.SysLocation);
        copy.CurrentLevel = State.CurrentLevel;
        CopyFixedText(copy.WeightingText, State.WeightingText);
        copy.LevelOffset = settings_.LevelOffset;
        copy.ShiftLenHours = settings_.ShiftLenHours;
        copy.PollCount = State.PollCount;
        copy.ErrorCount = State.ErrorCount;
        copy.ConsecutiveErrors = State.ConsecutiveErrors;
        copy.Exposure = State.Exposure;
        recorder = recorder_.get();
    }
    // The recorder lives from StartWorker to StopWorker and answers under a lock of its own.
    if (recorder)
        copy.PendingRows = recorder->PendingRows();
    return copy;
}

std::vector<MinuteRow> MeterMonitor::UnwrittenMinutes(std::string_view host) const {
    const LevelRecorder* recorder = nullptr;
    {
        Lock lock(StateLock);
        recorder = recorder_.get();
    }
    // As in CopyForMetrics: the recorder answers under a lock of its own.
    return recorder ? recorder->UnwrittenMinutes(host) : std::vector<MinuteRow>{};
}

bool MeterMonitor::RecordsElsewhere() const {
    Lock lock(StateLock);
    return recorder_ && recorder_->RecordsElsewhere();
}

bool MeterMonitor::PollPending() const {
    Lock lock(StateLock);
    return State.PollRequested != 0;
}

bool MeterMonitor::HasSession() const {
    Lock lock(StateLock);
    return State.Device != nullptr;
}

int PollTimerMilliseconds(int pollingInterval) {
    return std::clamp(pollingInterval, 1, INT_MAX / 1000) * 1000;
}
