#pragma once
// The exposure record's database, for its one writer: made on first use (folder 0700, file
// 0600, write-ahead log, synchronous=NORMAL, the schema of level_schema.h; an older version's
// file upgraded in one transaction), written a few
// minutes at a time in one transaction each, and trimmed. SQLite's atomic commit keeps every
// committed minute through a crash of the process.
//
// A file that is not a database, or whose pages are damaged, is moved aside as
// "<file>.corrupt-YYYYMMDD-HHMMSS" (its log with it) and a new one is started; nothing
// is ever overwritten. A symbolic link in the file's place is never followed: no record then.
//
// Each use first checks that the path still names the file that is open (its device and
// inode): a file moved aside, removed with its folder or replaced keeps what was written into
// it (its log is checkpointed into it first), and the record is opened or made at the path
// again.

#include "exposure/minute_row.h"
#include "record/meter_row.h"
#include "record/sqlite_db.h"

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <utility>

class LevelStore {
public:
    // Waits for another program's lock at most this long per write.
    static constexpr int BusyTimeoutMs = 200;
    // The minutes written last that a later part of the same minute joins.
    static constexpr std::size_t MaxJoinable = 24 * 60;

    explicit LevelStore(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    bool IsOpen() const { return db_.IsOpen(); }

    // Opens the database, making what is missing; true when it is ready for writing.
    bool Open();
    void Close() { db_.Close(); }
    // Writes `rows` in one transaction (opening the database first when needed); a row
    // for a host and minute already there meets it as KeepMinute says, of one run when this
    // store wrote that minute (among the last MaxJoinable). False leaves the file as it was.
    bool Write(std::span<const MinuteRow> rows);
    // Writes the meters' values in one transaction, each only when it differs from the values
    // in force for its host at its moment. False leaves the file as it was.
    bool WriteMeters(std::span<const MeterRow> meters);
    // Writes the shifts in force from `pattern.Since` on, unless the record has them in force
    // then already. False leaves the file as it was.
    bool WriteShiftPattern(const ShiftPatternRow& pattern);
    // The minutes that the writes since the last call found measured twice; then 0.
    std::size_t TakeMeasuredTwice() { return std::exchange(measuredTwice_, 0); }
    // Deletes the minutes that start before `utcSeconds` and before the newest `keepDays`
    // days (UTC) that hold minutes: a minute goes only when at least `keepDays` later days
    // hold minutes, whatever `utcSeconds` says.
    bool DeleteBefore(std::int64_t utcSeconds, std::int32_t keepDays);
    // The start of the newest minute in `newest` (nullopt when there is none); false when
    // the database cannot be read.
    bool Newest(std::optional<std::int64_t>& newest);

    // Why the last call failed: SQLite's words ("database or disk is full") or the system's.
    const std::string& Error() const { return error_; }
    // The path a corrupt file was moved to since the last call, else empty; then empty.
    std::string TakeMovedAside() { return std::exchange(movedAside_, {}); }
    // Whether the open file was found moved, removed or replaced since the last call; then false.
    bool TakeLeft() { return std::exchange(left_, false); }

private:
    // Runs `action`; when it found the file corrupt, moves the file aside and runs it once
    // more on a new file.
    template <typename Action>
    bool Recovering(Action action);
    bool EnsureOpen();
    bool StillAtPath() const;
    bool OpenFile();
    bool Prepare();
    bool MakeTable();
    bool Upgrade();
    bool WriteRows(std::span<const MinuteRow> rows);
    bool WroteMinute(const MinuteRow& row) const;
    bool Fail(std::string error);
    bool FailFromDb();
    bool MoveAside();

    std::string path_;
    SqliteDb db_;
    bool checked_ = false;  // the pages were checked once
    bool corrupt_ = false;  // the last failure found the file corrupt
    std::string error_;
    std::string movedAside_;
    std::size_t measuredTwice_ = 0;
    bool left_ = false;
    // This store's run of the record: the minutes it wrote last, oldest first, by host and start.
    std::deque<std::pair<std::string, std::int64_t>> written_;
    // The open file's identity, from the descriptor that made or found it.
    dev_t device_ = 0;
    ino_t inode_ = 0;
};
