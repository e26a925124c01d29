#pragma once
// Reads the exposure record: opens the database read-only, so it works beside the display
// that writes it (the journal is a write-ahead log: readers see the last committed minute and
// never block the writer), and reads the minutes of a host, or of all hosts, in a time range.
// A copy that can only be read (in a folder the user cannot write, on a read-only mount) is
// read as it stands, and nothing is made beside it.

#include "record/minute_row.h"
#include "record/sqlite_db.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct MinuteQuery {
    std::optional<std::string> Host;  // every host when empty
    std::int64_t From = 0;            // minutes with From <= start < To, UTC seconds
    std::int64_t To = 0;
};

class LevelReader {
public:
    // A reader waits this long by default for a writer that holds the database for a moment
    // (the only wait a write-ahead log has for readers: while a writer recovers or resets the
    // log).
    static constexpr int DefaultBusyTimeoutMs = 2000;

    // Opens the database at `path`, waiting at most `busyTimeoutMs` for a lock each time;
    // Error() says why when it cannot (a missing file is not created).
    explicit LevelReader(const std::string& path, int busyTimeoutMs = DefaultBusyTimeoutMs);

    bool IsOpen() const { return db_.IsOpen(); }
    const std::string& Error() const { return db_.Error(); }

    // Calls `visit` with each minute of the query, ordered by host and then by start, one at a
    // time (none is kept), until `visit` answers false; false when the database cannot be
    // read, after the minutes read so far.
    bool ForEachMinute(const MinuteQuery& query, const std::function<bool(const MinuteRow&)>& visit);
    // The minutes of the query, ordered as above; nothing when the database cannot be read.
    std::optional<std::vector<MinuteRow>> ReadMinutes(const MinuteQuery& query);

    // Every host with minutes in the record, in order; nothing when it cannot be read.
    std::optional<std::vector<std::string>> Hosts();

private:
    SqliteDb db_;
};
