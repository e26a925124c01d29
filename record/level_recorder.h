#pragma once
// The exposure record as the display keeps it: the polling worker hands in each good poll's
// shown level and what it knows of the meter, minutes are summed in memory (no I/O on the caller's thread), and a
// writer thread of the recorder's own writes each finished minute to the database.
//
// A minute ends by the clock too: the writer ends the minute under way at most a few seconds
// after its turn, so that a meter that falls silent leaves no minute in memory.
//
// No fault of the database reaches the caller: a full disk, a folder that cannot be written,
// a database locked by another program or a corrupt file each give one line on standard error
// (each reason once until the record works again, which gives one line too), and the writer
// tries again at the next finished minute and
// at least once a minute on its own, holding at most 24 h of unwritten minutes (the oldest go
// first).
//
// One recorder per record: the writer holds the record's lock (see RecordLock) while it
// records. A display that finds it held by another records nothing (its minutes are dropped,
// and none count as unwritten), says so in one line, and takes the record over at its next
// finished minute after the other ends, with one line too.
//
// A minute that arrives for a host and start already in the record is joined with it when
// the two are parts of one minute from this run, and else (the clock went back, another run
// wrote it) the louder is kept as it was (see KeepMinute); one line a run says how many
// minutes were measured twice.
// A record already there is opened when the writer starts (an older version's upgraded then);
// a new one is made at the first write.
//
// Once a day the minutes older than the days to keep are deleted, by a time the trim trusts
// rather than by the wall clock alone, so that a clock years ahead deletes nothing that the
// right time would keep: at the first write of a run the trim takes the time to be the wall
// clock, but no later than the end of the newest minute already in the record (which an
// earlier run wrote); from then on it moves that time on by the monotonic clock, and again
// never past the wall clock. A clock that is behind only keeps minutes longer. Since minutes
// stamped by a clock that was ahead at an earlier run mislead that bound, a minute is deleted
// only when the record holds at least the days to keep with minutes later than it: a wrong
// clock costs at most the oldest days beyond that count. A record that reaches past the wall
// clock at the start is said once.

#include "record/meter_row.h"
#include "record/minute_aggregator.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class LevelRecorder {
public:
    static constexpr std::size_t MaxPendingMinutes = 24 * 60;
    static constexpr std::size_t MaxPendingMeters = 64;
    // How long the end of the program waits for the last minutes to be written.
    static constexpr std::chrono::milliseconds StopBound{1500};
    // A minute under way ends this long after its turn (on the clock of COleDateTime), so that
    // a poll taken just before the turn still joins it; the writer looks once a WakeInterval.
    static constexpr std::int64_t EndGraceSeconds = 2;
    static constexpr std::chrono::milliseconds WakeInterval{1000};
    // Kept minutes are tried again at least this often (on the monotonic clock).
    static constexpr std::chrono::seconds RetryInterval{60};

    using Report = std::function<void(const std::string& line)>;

    // Starts the writer thread for the database at `path`, keeping `keepDays` days of
    // minutes (0: all of them); its fault lines go to `report` (standard error when empty),
    // on the writer thread (a stop that runs out reports on the caller's). Null (after a line
    // to `report`) when no thread can be started.
    static std::unique_ptr<LevelRecorder> Start(std::string path, std::int32_t keepDays, Report report = {});
    // Stop(StopBound).
    ~LevelRecorder();
    LevelRecorder(const LevelRecorder&) = delete;
    LevelRecorder& operator=(const LevelRecorder&) = delete;

    // One good poll: `level` shown with `weighting` for `host` at `utcSeconds`.
    void AddSample(std::int64_t utcSeconds, std::string_view host, std::string_view weighting, double level,
                   std::int32_t pollingInterval);
    // What the display knows of the meter of `host` at `utcSeconds`: its name and location
    // as it reported them, and the level offset applied to it. Handed to the writer when it
    // differs from what was noted last, to be written with the next minutes (and recorded
    // when it differs from the record).
    void NoteMeter(std::int64_t utcSeconds, std::string_view host, std::string_view name, std::string_view location,
                   std::int32_t levelOffset);
    // The site's shifts the display judges by from `utcSeconds` on (as the setting Shifts is
    // written) and, when the setting Shifts was not used, the line that says why: written with
    // the next minutes, and recorded when they differ from the shifts in force then.
    void NoteShiftPattern(std::int64_t utcSeconds, std::string_view shifts, std::string_view rejected);
    // The last good poll's level stood `seconds` longer than its interval (the poll overran it
    // and its level was shown until the next poll began): that time joins its minutes.
    void ExtendSample(double seconds);
    // Ends the minutes under way and hands them to the writer (a change of configuration).
    void FinishMinute();
    // Ends the minute under way and waits at most `bound` until the writer has tried to write
    // everything pending; a writer still busy then finishes on its own. One line says how many
    // minutes were still waiting then, if any.
    void Stop(std::chrono::milliseconds bound);

    // The minutes of `host` not in the record yet: those under way, those waiting for the
    // writer and those it is writing (which a read of the record may already see), by start.
    std::vector<MinuteRow> UnwrittenMinutes(std::string_view host) const;
    // Rows (minutes) handed to the writer and not yet written, the batch being written included.
    std::size_t PendingRows() const;
    // Whether the writer has handled every minute handed to it so far (written or kept).
    bool Idle() const;
    // Whether another display records into the record, so that this one records nothing.
    bool RecordsElsewhere() const;

    struct Shared;

private:
    explicit LevelRecorder(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    // Held by the writer thread too, which may outlive the recorder after a bounded stop.
    std::shared_ptr<Shared> shared_;
    std::thread writer_;
};
