#include "record/level_store.h"

#include "platform/sys/ole_date_time.h"
#include "platform/sys/private_folders.h"
#include "record/level_schema.h"
#include "record/minute_aggregator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

namespace {

constexpr char SelectSql[] = "SELECT weighting, samples, seconds, leq, lmin, lmax FROM minutes "
                             "WHERE host = ?1 AND start = ?2";
constexpr char TableCountSql[] = "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'minutes'";
// The first of the newest ?2 days with minutes is found in one pass over the table; with
// fewer such days the comparison is with NULL, which deletes nothing.
constexpr char DeleteSql[] = "DELETE FROM minutes WHERE start < ?1 AND start < (SELECT day * 86400 FROM "
                             "(SELECT DISTINCT start / 86400 AS day FROM minutes) ORDER BY day DESC LIMIT 1 OFFSET ?2)";
constexpr char InsertSql[] = "INSERT OR REPLACE INTO minutes (host, start, weighting, samples, seconds, leq, lmin, "
                             "lmax) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";

// The values in force for a host at a moment, and a change of them.
constexpr char LatestMeterSql[] = "SELECT name, location, level_offset FROM meters WHERE host = ?1 AND since <= ?2 "
                                  "ORDER BY since DESC LIMIT 1";
constexpr char InsertMeterSql[] = "INSERT OR REPLACE INTO meters (host, since, name, location, level_offset) "
                                  "VALUES (?1, ?2, ?3, ?4, ?5)";

constexpr char LatestPatternSql[] =
    "SELECT shifts, rejected FROM shift_patterns WHERE since <= ?1 ORDER BY since DESC LIMIT 1";
constexpr char InsertPatternSql[] =
    "INSERT OR REPLACE INTO shift_patterns (since, shifts, rejected) VALUES (?1, ?2, ?3)";

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The file made beforehand with mode 0600, since SQLite would make it readable by all; its
// log and shared-memory files take their mode from it. Its identity is what later checks
// compare the path with.
// A link in the file's place is not followed: the record would go where the link points, or a
// file the link names would be taken for a damaged record and moved aside.
bool MakeFile(const std::string& path, struct stat& identity, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && errno == ELOOP) {
        error = path + " is a symbolic link, which the record does not follow";
        return false;
    }
    if (fd < 0) {
        error = SystemError("cannot open " + path);
        return false;
    }
    const bool known = ::fstat(fd, &identity) == 0;
    if (!known)
        error = SystemError("cannot look at " + path);
    ::close(fd);
    return known;
}

// ".corrupt-YYYYMMDD-HHMMSS" of the local time now.
std::string CorruptSuffix() {
    const std::time_t now = COleDateTime::GetCurrentCalendarTime();
    std::tm local{};
    char text[40] = ".corrupt";
    if (localtime_r(&now, &local))
        std::strftime(text, sizeof text, ".corrupt-%Y%m%d-%H%M%S", &local);
    return text;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Another program's lock keeps the connection for the next try; any other fault closes it,
// so that the next try starts afresh (a folder made again, a disk with room again, a file
// replaced).
bool KeepsConnection(int primary) {
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

std::optional<MinuteRow> StoredMinute(SqliteStatement& select, const MinuteRow& row) {
    select.Reset();
    select.Bind(1, row.Host);
    select.Bind(2, row.Start);
    if (select.Step() != SQLITE_ROW)
        return std::nullopt;
    return MinuteRow{row.Host,       row.Start,      select.Text(0), static_cast<std::int32_t>(select.Integer(1)),
                     select.Real(2), select.Real(3), select.Real(4), select.Real(5)};
}

void BindRow(SqliteStatement& insert, const MinuteRow& row) {
    insert.Reset();
    insert.Bind(1, row.Host);
    insert.Bind(2, row.Start);
    insert.Bind(3, row.Weighting);
    insert.Bind(4, static_cast<std::int64_t>(row.Samples));
    insert.Bind(5, row.Seconds);
    insert.Bind(6, row.Leq);
    insert.Bind(7, row.Lmin);
    insert.Bind(8, row.Lmax);
}

}  // namespace

template <typename Action>
bool LevelStore::Recovering(Action action) {
    corrupt_ = false;
    if (action())
        return true;
    return corrupt_ && MoveAside() && action();
}

bool LevelStore::Open() {
    return Recovering([this] { return EnsureOpen(); });
}

bool LevelStore::Write(std::span<const MinuteRow> rows) {
    return Recovering([&] { return EnsureOpen() && WriteRows(rows); });
}

bool LevelStore::DeleteBefore(std::int64_t utcSeconds, std::int32_t keepDays) {
    return Recovering([&] {
        if (!EnsureOpen())
            return false;
        SqliteStatement erase = db_.Prepare(DeleteSql);
        if (!erase.Valid())
            return FailFromDb();
        erase.Bind(1, utcSeconds);
        erase.Bind(2, static_cast<std::int64_t>(keepDays) - 1);
        return erase.Step() == SQLITE_DONE || FailFromDb();
    });
}

bool LevelStore::Newest(std::optional<std::int64_t>& newest) {
    return Recovering([&] {
        if (!EnsureOpen())
            return false;
        SqliteStatement query = db_.Prepare("SELECT max(start) FROM minutes");
        if (!query.Valid() || query.Step() != SQLITE_ROW)
            return FailFromDb();
        newest = query.IsNull(0) ? std::nullopt : std::optional<std::int64_t>(query.Integer(0));
        return true;
    });
}

// A connection that failed its set-up is closed whatever the fault, even another program's
// lock: none is used without the pragmas and the checks.
bool LevelStore::EnsureOpen() {
    if (db_.IsOpen() && StillAtPath())
        return true;
    if (db_.IsOpen()) {
        // What the log holds goes into the file that left the path, which is the user's now;
        // SQLite does not do it at the close of a file that moved.
        db_.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
        db_.Close();
        checked_ = false;
        left_ = true;
    }
    if (OpenFile() && Prepare())
        return true;
    db_.Close();
    return false;
}

bool LevelStore::StillAtPath() const {
    struct stat info {};
    return ::lstat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_;
}

bool LevelStore::OpenFile() {
    const std::size_t slash = path_.rfind('/');
    if (path_.empty() || path_[0] != '/')
        return Fail("no data folder: neither XDG_DATA_HOME nor HOME names one");
    std::string error;
    std::string failed;
    if (slash > 0 && !MakePrivateFolders(path_.substr(0, slash), failed))
        return Fail(SystemError("cannot make " + failed));
    struct stat identity {};
    if (!MakeFile(path_, identity, error))
        return Fail(error);
    device_ = identity.st_dev;
    inode_ = identity.st_ino;
    return db_.Open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, BusyTimeoutMs) || Fail(db_.Error());
}

// The pragmas, and the schema in a new file, or the upgrade of an older one. At the first open
// the pages are checked, so that damage is found before the display adds to it. A file is new
// when it lacks the table of minutes.
bool LevelStore::Prepare() {
    if (!checked_) {
        SqliteStatement check = db_.Prepare("PRAGMA quick_check(1)");
        if (!check.Valid() || check.Step() != SQLITE_ROW)
            return FailFromDb();
        if (check.Text(0) != "ok") {
            corrupt_ = true;
            return Fail("the database is damaged (" + check.Text(0) + ")");
        }
        checked_ = true;
    }
    if (!db_.Exec("PRAGMA journal_mode = WAL") || !db_.Exec("PRAGMA synchronous = NORMAL"))
        return FailFromDb();
    const std::int64_t version = db_.QueryInteger("PRAGMA user_version", -1);
    const std::int64_t tables = db_.QueryInteger(TableCountSql, -1);
    if (version < 0 || tables < 0)
        return FailFromDb();
    // A file of version 1 without the table (left by a full disk or a kill while an older
    // build made it) is new too; one of version 1 with it is upgraded.
    if (version > LevelSchemaVersion || (version == 0 && tables > 0))
        return Fail("the database has another layout (version " + std::to_string(version) + ")");
    if (tables == 0)
        return MakeTable();
    return version == LevelSchemaVersion || Upgrade();
}

// The tables of the newer version and the version in one transaction, as a new file's are made.
bool LevelStore::Upgrade() {
    if (!db_.Exec("BEGIN IMMEDIATE"))
        return FailFromDb();
    const std::int64_t version = db_.QueryInteger("PRAGMA user_version", -1);  // another writer may have done it
    const bool upgraded = version == LevelSchemaVersion || (version == 1 && db_.Exec(LevelUpgradeFromOneSql)) ||
                          (version == 2 && db_.Exec(LevelUpgradeFromTwoSql));
    return (upgraded && db_.Exec("COMMIT")) || FailFromDb();
}

// The table and the version in one transaction: a fault between them leaves a file that is
// still new.
bool LevelStore::MakeTable() {
    if (!db_.Exec("BEGIN IMMEDIATE"))
        return FailFromDb();
    const std::int64_t tables = db_.QueryInteger(TableCountSql, -1);  // another writer may have made it
    const bool made = tables > 0 || (tables == 0 && db_.Exec(LevelSchemaSql));
    return (made && db_.Exec("COMMIT")) || FailFromDb();
}

bool LevelStore::WriteRows(std::span<const MinuteRow> rows) {
    if (!db_.Exec("BEGIN IMMEDIATE"))
        return FailFromDb();
    SqliteStatement select = db_.Prepare(SelectSql);
    SqliteStatement insert = db_.Prepare(InsertSql);
    bool ok = select.Valid() && insert.Valid();
    std::size_t measuredTwice = 0;
    for (std::size_t i = 0; ok && i < rows.size(); ++i) {
        const std::optional<MinuteRow> stored = StoredMinute(select, rows[i]);
        const auto sameMinute = [&](const MinuteRow& row) {
            return row.Host == rows[i].Host && row.Start == rows[i].Start;
        };
        const bool sameRun = WroteMinute(rows[i]) || std::any_of(rows.begin(), rows.begin() + i, sameMinute);
        const KeptMinute kept = stored ? KeepMinute(*stored, rows[i], sameRun) : KeptMinute{rows[i]};
        measuredTwice += kept.MeasuredTwice ? 1 : 0;
        BindRow(insert, kept.Row);
        ok = insert.Step() == SQLITE_DONE;
    }
    if (!ok || !db_.Exec("COMMIT"))
        return FailFromDb();
    measuredTwice_ += measuredTwice;
    for (const MinuteRow& row : rows) {
        if (written_.size() >= MaxJoinable)
            written_.pop_front();
        written_.emplace_back(row.Host, row.Start);
    }
    return true;
}

bool LevelStore::WroteMinute(const MinuteRow& row) const {
    return std::find(written_.rbegin(), written_.rend(), std::make_pair(row.Host, row.Start)) != written_.rend();
}

bool LevelStore::WriteMeters(std::span<const MeterRow> meters) {
    return Recovering([&] {
        if (!EnsureOpen())
            return false;
        if (!db_.Exec("BEGIN IMMEDIATE"))
            return FailFromDb();
        SqliteStatement latest = db_.Prepare(LatestMeterSql);
        SqliteStatement insert = db_.Prepare(InsertMeterSql);
        bool ok = latest.Valid() && insert.Valid();
        for (std::size_t i = 0; ok && i < meters.size(); ++i) {
            const MeterRow& meter = meters[i];
            latest.Reset();
            latest.Bind(1, meter.Host);
            latest.Bind(2, meter.Since);
            const int found = latest.Step();
            ok = found == SQLITE_ROW || found == SQLITE_DONE;
            if (!ok || (found == SQLITE_ROW && latest.Text(0) == meter.Name && latest.Text(1) == meter.Location &&
                        latest.Integer(2) == meter.LevelOffset))
                continue;  // as recorded before
            insert.Reset();
            insert.Bind(1, meter.Host);
            insert.Bind(2, meter.Since);
            insert.Bind(3, meter.Name);
            insert.Bind(4, meter.Location);
            insert.Bind(5, static_cast<std::int64_t>(meter.LevelOffset));
            ok = insert.Step() == SQLITE_DONE;
        }
        return (ok && db_.Exec("COMMIT")) || FailFromDb();
    });
}

bool LevelStore::WriteShiftPattern(const ShiftPatternRow& pattern) {
    return Recovering([&] {
        if (!EnsureOpen())
            return false;
        SqliteStatement latest = db_.Prepare(LatestPatternSql);
        if (!latest.Valid())
            return FailFromDb();
        latest.Bind(1, pattern.Since);
        const int found = latest.Step();
        if (found != SQLITE_ROW && found != SQLITE_DONE)
            return FailFromDb();
        if (found == SQLITE_ROW && latest.Text(0) == pattern.Shifts && latest.Text(1) == pattern.Rejected)
            return true;  // in force already
        SqliteStatement insert = db_.Prepare(InsertPatternSql);
        if (!insert.Valid())
            return FailFromDb();
        insert.Bind(1, pattern.Since);
        insert.Bind(2, pattern.Shifts);
        insert.Bind(3, pattern.Rejected);
        return insert.Step() == SQLITE_DONE || FailFromDb();
    });
}

bool LevelStore::Fail(std::string error) {
    error_ = std::move(error);
    return false;
}

bool LevelStore::FailFromDb() {
    db_.Fail();
    const int primary = db_.ErrorCode() & 0xff;
    corrupt_ = primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    Fail(db_.Error());
    if (db_.IsOpen() && !sqlite3_get_autocommit(db_.Get()))
        db_.Exec("ROLLBACK");
    if (corrupt_ || !KeepsConnection(primary))
        db_.Close();
    return false;
}

// The file and its log under a new name beside them (the log as the moved file's log, so
// that SQLite reads them together); the shared-memory index is only a cache and goes.
bool LevelStore::MoveAside() {
    db_.Close();
    std::string target = path_ + CorruptSuffix();
    for (int n = 2; Exists(target); ++n)
        target = path_ + CorruptSuffix() + "-" + std::to_string(n);
    if (::rename(path_.c_str(), target.c_str()) != 0)
        return Fail(SystemError("cannot move the damaged " + path_ + " aside"));
    if (Exists(path_ + "-wal"))
        ::rename((path_ + "-wal").c_str(), (target + "-wal").c_str());
    ::unlink((path_ + "-shm").c_str());
    movedAside_ = target;
    checked_ = false;
    return true;
}
