#pragma once
// Reads the exposure record: opens the database read-only, so it works beside the display
// that writes it (the journal is a write-ahead log: readers see the last committed minute and
// never block the writer), and reads the minutes of a host, or of all hosts, in a time range,
// and what was known of a host's meter over a time range. A copy that can only be read (in a
// folder the user cannot write, on a read-only mount) is read as it stands, and nothing is
// made beside it.

#include "exposure/minute_row.h"
#include "record/meter_row.h"
#include "record/sqlite_db.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The meter's values and the time they held, From <= t < To, in UTC seconds.
struct MeterPeriod {
    MeterRow Values;
    std::int64_t From = 0;
    std::int64_t To = 0;
};

// One value (a name, a location, an offset as text) and the time it held.
struct HeldValue {
    std::string Value;
    std::int64_t From = 0;
    std::int64_t To = 0;
};

// The runs of one value of `periods` ("the name", "the level offset"): periods in a row that
// share it joined, so that a change of the location alone leaves the name in one piece.
std::vector<HeldValue> HeldValues(std::span<const MeterPeriod> periods,
                                  const std::function<std::string(const MeterRow&)>& value);

// The site's shifts and the time they held, From <= t < To, in UTC seconds.
struct PatternPeriod {
    ShiftPatternRow Values;
    std::int64_t From = 0;
    std::int64_t To = 0;
};

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
    // Why the database cannot be read; a record of a newer layout than this program's is not
    // read at all ("the record has a newer layout (version 3) than this program reads (version 2)").
    const std::string& Error() const;

    // Calls `visit` with each minute of the query, ordered by host and then by start, one at a
    // time (none is kept), until `visit` answers false; false when the database cannot be
    // read, after the minutes read so far.
    bool ForEachMinute(const MinuteQuery& query, const std::function<bool(const MinuteRow&)>& visit);
    // The minutes of the query, ordered as above; nothing when the database cannot be read.
    std::optional<std::vector<MinuteRow>> ReadMinutes(const MinuteQuery& query);

    // Every host with minutes in the record, in order; nothing when it cannot be read.
    std::optional<std::vector<std::string>> Hosts();

    // What was known of the meter of `host` from `from` to `to` (UTC seconds): the values in
    // force at `from` and each change before `to`, in order, each with the time it held within
    // the period (the first from `from` when it was recorded before; none before the display
    // first recorded any). Nothing when the database cannot be read.
    std::optional<std::vector<MeterPeriod>> ReadMeters(const std::string& host, std::int64_t from, std::int64_t to);

    // The site's shifts the display judged by from `from` to `to`, as ReadMeters reads a meter's
    // values: those in force at `from` and each change before `to`; none from a record made
    // before the display kept them. Nothing when the database cannot be read.
    std::optional<std::vector<PatternPeriod>> ReadShiftPatterns(std::int64_t from, std::int64_t to);

private:
    SqliteDb db_;
    std::string error_;
};
