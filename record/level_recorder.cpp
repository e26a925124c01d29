#include "record/level_recorder.h"

#include "exposure/local_days.h"
#include "platform/sys/ole_date_time.h"
#include "platform/sys/steady_clock.h"
#include "record/level_store.h"
#include "record/record_lock.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace {

constexpr std::int64_t SecondsPerDay = 86400;

void ToStandardError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

struct LevelRecorder::Shared {
    Shared(std::string path, std::int32_t days, Report reportLine)
        : store(path), recordLock(path), report(std::move(reportLine)), keepDays(days) {}

    // Under `lock`: the minutes under way, the finished ones waiting for the writer (and those
    // it is writing), and the counts that tell the writer (and Idle) what is new.
    mutable std::mutex lock;
    std::condition_variable changed;
    MinuteAggregator aggregator;
    std::deque<MinuteRow> pending;
    std::vector<MinuteRow> inFlight;  // the batch being written
    std::deque<MeterRow> pendingMeters;
    std::optional<MeterRow> lastMeter;  // the values last noted
    // The shifts last noted, until written; a newer note takes the place of one not written yet.
    std::optional<ShiftPatternRow> pendingPattern;
    std::size_t writing = 0;
    std::uint64_t handedIn = 0;
    std::uint64_t handled = 0;
    bool stopping = false;
    bool ended = false;

    // Whether another display holds the record's lock, so that this one records nothing.
    std::atomic<bool> elsewhere = false;

    // The writer thread's alone.
    LevelStore store;
    RecordLock recordLock;
    Report report;
    std::vector<std::string> faultsSaid;  // the reasons said since the last write that succeeded
    SteadyTime lastTry;
    std::int32_t keepDays;  // 0: every minute is kept
    // The time the trim trusts at this run's first write, and when that was on the monotonic
    // clock; none until then.
    std::optional<std::int64_t> trustedStart;
    SteadyTime trustedStartAt;
    std::optional<SteadyTime> lastTrim;
    std::size_t measuredTwice = 0;  // this run's minutes met again in the record
    bool measuredTwiceReported = false;

    // Under `lock`: queues finished minutes, the oldest dropped beyond 24 h of them.
    void HandIn(std::vector<MinuteRow> minutes) {
        if (minutes.empty())
            return;
        for (MinuteRow& minute : minutes) {
            if (pending.size() >= MaxPendingMinutes)
                pending.pop_front();
            pending.push_back(std::move(minute));
        }
        ++handedIn;
        changed.notify_all();
    }

    // One line for each reason of a fault, however many minutes it lasts: a reason already said
    // since the record last worked is not said again (a full disk fails the write and the
    // opening of the file by turns), a new one is.
    void ReportFault(const std::string& error) {
        if (std::find(faultsSaid.begin(), faultsSaid.end(), error) != faultsSaid.end())
            return;
        faultsSaid.push_back(error);
        report("decimon: cannot record the levels in " + store.Path() + ": " + error + "; trying again each minute");
    }

    // The record working again after a fault was said ends the fault, with one line.
    void ReportRecovery(std::size_t written) {
        if (faultsSaid.empty())
            return;
        faultsSaid.clear();
        report("decimon: the levels are recorded in " + store.Path() + " again; " + std::to_string(written) +
               (written == 1 ? " minute" : " minutes") + " written");
    }

    // Whether this display records: it holds the record's lock, or the lock cannot be had for
    // another reason than another display holding it (the store then says why it cannot write
    // either). A change either way is said in one line.
    bool MayRecord() {
        const bool mine = recordLock.Take() || !recordLock.HeldElsewhere();
        if (mine == !elsewhere)
            return mine;
        elsewhere = !mine;
        report(mine ? "decimon: this display records the levels in " + store.Path() + " now"
                    : "decimon: another display records the levels in " + store.Path() +
                          "; this one records nothing while it does");
        return mine;
    }

    // Which parts of a batch reached the record: each part that did not is kept for the next
    // try on its own, so that a minute is never written twice and the meters' values never
    // hold up the minutes.
    struct Written {
        bool minutes = true;
        bool meters = true;
        bool pattern = true;
    };

    // Writes a batch of minutes and meters' values, says so when a damaged file was moved
    // aside, and trims the old minutes once a day.
    Written Write(const std::vector<MinuteRow>& batch, const std::vector<MeterRow>& meters,
                  const std::optional<ShiftPatternRow>& pattern) {
        if (!MayRecord())
            return {};  // dropped: the other display records them
        if (!trustedStart)
            TrustTheTime();  // before this run's minutes join the record
        Written written;
        written.minutes = batch.empty() || store.Write(batch);
        std::string error = written.minutes ? std::string() : store.Error();
        if (!batch.empty() && written.minutes)
            CountMeasuredTwice(store.TakeMeasuredTwice());
        written.meters = meters.empty() || store.WriteMeters(meters);
        if (error.empty() && !written.meters)
            error = store.Error();
        written.pattern = !pattern || store.WriteShiftPattern(*pattern);
        if (error.empty() && !written.pattern)
            error = store.Error();
        if (store.TakeLeft())
            report("decimon: the levels database " + store.Path() +
                   " was moved, removed or replaced while the display wrote to it; what was written stays in "
                   "that file, and the record goes on at " +
                   store.Path());
        const std::string moved = store.TakeMovedAside();
        if (!moved.empty())
            report("decimon: the levels database " + store.Path() + " was damaged; it was moved to " + moved +
                   " and a new one started");
        if (!error.empty())
            ReportFault(error);
        else if (Trim())
            ReportRecovery(batch.size());
        else
            ReportFault(store.Error());  // the minutes are written all the same
        return written;
    }

    // Says once a run how many minutes were measured twice (the clock went back): when a write
    // meets none after some were met, the clock has passed them again, else at the end (0).
    void CountMeasuredTwice(std::size_t met) {
        measuredTwice += met;
        if (met > 0 || measuredTwice == 0 || measuredTwiceReported)
            return;
        measuredTwiceReported = true;
        report("decimon: " + std::to_string(measuredTwice) + (measuredTwice == 1 ? " minute" : " minutes") +
               " of levels already in " + store.Path() +
               " measured again (the clock went back, or another run had recorded them); the louder of each was kept "
               "as it was");
    }

    // The wall clock, but no later than the end of the newest minute in the record: a clock
    // years ahead at start must not make the trim forget what the record says about the time.
    // After the display was off, minutes are kept that much longer, until its next start.
    // A record that reaches more than a minute past the clock is said once. When the record
    // cannot be read, the next write tries again.
    void TrustTheTime() {
        std::optional<std::int64_t> newest;
        if (!store.Newest(newest))
            return;
        const std::int64_t now = COleDateTime::GetCurrentCalendarTime();
        trustedStart = newest ? std::min(now, *newest + 60) : now;
        trustedStartAt = SteadyClock::Now();
        // A poll's span reaches into the next minute, which a stop writes: a minute ahead is no news.
        if (newest && *newest > now + 60)
            report("decimon: the levels database " + store.Path() + " holds minutes up to " +
                   FormatLocalTime(*newest + 60) + ", later than the clock (" + FormatLocalTime(now) +
                   "); the clock is wrong now, or was when they were recorded");
    }

    // Once a day by the monotonic clock, up to the trusted time less the days to keep: a wall
    // clock set ahead while the display runs moves the trusted time no further than the
    // monotonic clock has moved since the start. Since a clock that was ahead at an earlier
    // run leaves minutes that mislead the trusted time, a minute goes only when the days to
    // keep all have minutes later than it: a wrong clock costs at most the oldest days.
    bool Trim() {
        const SteadyTime now = SteadyClock::Now();
        if (keepDays == 0 || !trustedStart || (lastTrim && now - *lastTrim < std::chrono::hours(24)))
            return true;
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - trustedStartAt).count();
        const std::int64_t trusted = std::min(COleDateTime::GetCurrentCalendarTime(), *trustedStart + elapsed);
        if (!store.DeleteBefore(trusted - keepDays * SecondsPerDay, keepDays))
            return false;
        lastTrim = now;
        return true;
    }
};

namespace {

// The writer thread: ends the minutes whose turn has come, takes whatever minutes are
// pending, writes them outside the lock, and keeps them for the next try when that fails. It
// tries when a minute is handed in and, for kept minutes, once a RetryInterval; at a stop it
// tries once more and ends. While a minute is under way or kept it looks at the clocks once a
// WakeInterval, else it sleeps until a poll comes.
void RunWriter(const std::shared_ptr<LevelRecorder::Shared>& shared) {
    LevelRecorder::Shared& s = *shared;
    // A record already there is opened at once, so that an older version's is upgraded at the
    // start; a new one is made at the first write. A fault here is said at the first write.
    std::error_code ignored;
    if (s.MayRecord() && std::filesystem::exists(s.store.Path(), ignored))
        s.store.Open();
    std::unique_lock lock(s.lock);
    std::uint64_t seen = 0;
    const auto news = [&] { return s.stopping || s.handedIn != seen; };
    for (;;) {
        if (s.aggregator.Open() || !s.pending.empty())
            s.changed.wait_for(lock, LevelRecorder::WakeInterval, news);
        else
            s.changed.wait(lock, [&] { return news() || s.aggregator.Open(); });
        const std::int64_t now = COleDateTime::GetCurrentCalendarTime();
        s.HandIn(s.aggregator.EndBefore(now - LevelRecorder::EndGraceSeconds));
        const bool retry = !s.pending.empty() && SteadyClock::Now() - s.lastTry >= LevelRecorder::RetryInterval;
        if (!news() && !retry)
            continue;
        seen = s.handedIn;
        const bool last = s.stopping;
        std::vector<MinuteRow> batch(std::make_move_iterator(s.pending.begin()),
                                     std::make_move_iterator(s.pending.end()));
        s.pending.clear();
        std::vector<MeterRow> meters(std::make_move_iterator(s.pendingMeters.begin()),
                                     std::make_move_iterator(s.pendingMeters.end()));
        s.pendingMeters.clear();
        std::optional<ShiftPatternRow> pattern = std::exchange(s.pendingPattern, std::nullopt);
        s.writing = batch.size();
        s.inFlight = batch;
        lock.unlock();
        const auto written = batch.empty() && meters.empty() && !pattern ? LevelRecorder::Shared::Written{}
                                                                         : s.Write(batch, meters, pattern);
        s.lastTry = SteadyClock::Now();
        if (last)
            s.CountMeasuredTwice(0);
        lock.lock();
        s.writing = 0;
        s.inFlight.clear();
        if (!written.minutes) {
            s.pending.insert(s.pending.begin(), std::make_move_iterator(batch.begin()),
                             std::make_move_iterator(batch.end()));
            while (s.pending.size() > LevelRecorder::MaxPendingMinutes)
                s.pending.pop_front();
        }
        if (!written.meters) {
            s.pendingMeters.insert(s.pendingMeters.begin(), std::make_move_iterator(meters.begin()),
                                   std::make_move_iterator(meters.end()));
            while (s.pendingMeters.size() > LevelRecorder::MaxPendingMeters)
                s.pendingMeters.pop_front();
        }
        if (!written.pattern && !s.pendingPattern)
            s.pendingPattern = std::move(pattern);
        s.handled = seen;
        s.ended = last;
        s.changed.notify_all();
        if (last)
            return;
    }
}

}  // namespace

std::unique_ptr<LevelRecorder> LevelRecorder::Start(std::string path, std::int32_t keepDays, Report report) {
    if (!report)
        report = ToStandardError;
    auto shared = std::make_shared<Shared>(std::move(path), keepDays, report);
    std::unique_ptr<LevelRecorder> recorder(new LevelRecorder(shared));
    try {
        recorder->writer_ = std::thread(RunWriter, shared);
    } catch (const std::system_error& error) {
        report(std::string("decimon: cannot record the levels: no writer thread (") + error.what() + ")");
        return nullptr;
    }
    return recorder;
}

LevelRecorder::~LevelRecorder() {
    Stop(StopBound);
}

void LevelRecorder::AddSample(std::int64_t utcSeconds, std::string_view host, std::string_view weighting, double level,
                              std::int32_t pollingInterval) {
    std::lock_guard lock(shared_->lock);
    const bool opens = !shared_->aggregator.Open();
    shared_->HandIn(shared_->aggregator.Add(utcSeconds, host, weighting, level, pollingInterval));
    if (opens)
        shared_->changed.notify_all();  // the writer starts watching the clock
}

void LevelRecorder::NoteMeter(std::int64_t utcSeconds, std::string_view host, std::string_view name,
                              std::string_view location, std::int32_t levelOffset) {
    MeterRow meter{std::string(host), utcSeconds, std::string(name), std::string(location), levelOffset};
    std::lock_guard lock(shared_->lock);
    if (shared_->lastMeter && shared_->lastMeter->SameValues(meter))
        return;
    shared_->lastMeter = meter;
    if (shared_->pendingMeters.size() >= MaxPendingMeters)
        shared_->pendingMeters.pop_front();
    // No wake-up of its own: the values go with the next minutes the writer writes.
    shared_->pendingMeters.push_back(std::move(meter));
}

void LevelRecorder::NoteShiftPattern(std::int64_t utcSeconds, std::string_view shifts, std::string_view rejected) {
    std::lock_guard lock(shared_->lock);
    // No wake-up of its own either: the shifts go with the next minutes; the store leaves out
    // shifts already in force.
    shared_->pendingPattern = ShiftPatternRow{utcSeconds, std::string(shifts), std::string(rejected)};
}

void LevelRecorder::ExtendSample(double seconds) {
    std::lock_guard lock(shared_->lock);
    shared_->aggregator.Extend(seconds);
}

void LevelRecorder::FinishMinute() {
    std::lock_guard lock(shared_->lock);
    shared_->HandIn(shared_->aggregator.Finish());
}

void LevelRecorder::Stop(std::chrono::milliseconds bound) {
    if (!writer_.joinable())
        return;
    std::unique_lock lock(shared_->lock);
    shared_->HandIn(shared_->aggregator.Finish());
    shared_->stopping = true;
    shared_->changed.notify_all();
    const bool ended = shared_->changed.wait_for(lock, bound, [&] { return shared_->ended; });
    // Minutes the last try could not write, or that a writer still busy holds.
    const std::size_t waiting = shared_->pending.size() + shared_->writing;
    lock.unlock();
    // A writer held up by a slow disk must not hold up the end of the program; it keeps the
    // shared state alive and ends with its write, or with the process.
    if (ended)
        writer_.join();
    else
        writer_.detach();
    if (waiting > 0)
        shared_->report("decimon: " + std::to_string(waiting) + (waiting == 1 ? " minute" : " minutes") +
                        " of levels still waiting to be written to " + shared_->store.Path() +
                        " at the end; they may be lost");
}

std::vector<MinuteRow> LevelRecorder::UnwrittenMinutes(std::string_view host) const {
    std::vector<MinuteRow> rows;
    if (shared_->elsewhere)
        return rows;  // this display's minutes go nowhere
    std::lock_guard lock(shared_->lock);
    const auto take = [&](const MinuteRow& row) {
        if (row.Host == host)
            rows.push_back(row);
    };
    std::for_each(shared_->inFlight.begin(), shared_->inFlight.end(), take);
    std::for_each(shared_->pending.begin(), shared_->pending.end(), take);
    const std::vector<MinuteRow> underWay = shared_->aggregator.UnderWay();
    std::for_each(underWay.begin(), underWay.end(), take);
    std::sort(rows.begin(), rows.end(), [](const MinuteRow& a, const MinuteRow& b) { return a.Start < b.Start; });
    return rows;
}

std::size_t LevelRecorder::PendingRows() const {
    std::lock_guard lock(shared_->lock);
    return shared_->pending.size() + shared_->writing;
}

bool LevelRecorder::Idle() const {
    std::lock_guard lock(shared_->lock);
    return shared_->handled == shared_->handedIn;
}

bool LevelRecorder::RecordsElsewhere() const {
    return shared_->elsewhere;
}
