#pragma once
// What the history picture shows, worked out before anything is drawn: the window of the last
// ShiftLenHours hours, one host's recorded minutes in it, their figures as texts, the chart's
// dB scale and its local hour marks. Numbers as in the "C" locale, times of day in local time.

#include "exposure/minute_row.h"
#include "exposure/shift_pattern.h"

#include <QtGlobal>  // QT_TRANSLATE_NOOP

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whole minutes ending with the current one.
struct HistoryWindow {
    std::int64_t From = 0;  // the first minute's start, seconds since 1970-01-01 UTC
    std::int64_t To = 0;    // the end of the current minute
    int Minutes = 0;
    double Hours() const { return Minutes / 60.0; }
};

// The window is never shorter than a minute nor longer than a week, whatever the setting says.
inline constexpr int MaxHistoryMinutes = 7 * 24 * 60;

// The last round(shiftLenHours x 60) minutes at `now` (UTC seconds), the current one included.
HistoryWindow HistoryWindowAt(std::int64_t now, double shiftLenHours);

// What one read of the record gave.
struct HistoryRecord {
    bool Readable = true;  // false: the database could not be read, and Error says why
    std::string Error;
    std::vector<MinuteRow> Rows;  // of one host in the window and the shift under way, ordered by start
};

struct ChartMinute {
    std::int64_t Start = 0;
    double Leq = 0.0;
    bool OtherWeighting = false;  // not A-weighted: drawn in another colour
};

struct HourMark {
    std::int64_t At = 0;  // UTC seconds of a local full hour
    int Hour = 0;         // its local hour, 0 to 23
    std::string Label;    // its local time, "10:00"
};

// The picture's title before the meter.
inline constexpr char HistoryTitle[] = QT_TRANSLATE_NOOP("History", "History of ");

struct HistoryPicture {
    std::string Host;  // the meter's address, titled "History of HOST"
    HistoryWindow Window;
    std::vector<ChartMinute> Minutes;
    // The chart's dB range, multiples of 10 that hold every minute and the dose's criterion.
    int ScaleLow = 60;
    int ScaleHigh = 100;
    std::vector<HourMark> Hours;
    std::vector<std::string> Weightings;   // of the minutes shown, in order: "dBA", "dBC"
    std::vector<std::int64_t> Boundaries;  // where shifts begin and end, UTC seconds: marked across
    std::string LevelAxis = "Leq, dB";     // the level axis's name: "Leq, dB(A)", "Leq, dB(A), dB(C)"
    // The shift under way: "Shift 06:00-14:00", "Measured 7h 12m of 8h 0m", "LAeq so far 85.1
    // dB(A)", "Dose used so far 101 %"; or "No levels recorded in the last 8.0 h" alone (nothing
    // in the window nor in the shift); none before the first read.
    std::vector<std::string> Figures;  // in the display language, UTF-8, numbers in the "C" form
    std::string Reason;                // why the record could not be read (UTF-8); empty when it could
    std::string Note;                  // what the display says of its own recording; empty when it records
};

// The unit of a weighting as printed: "dB(A)" for "dBA", "dB(C)", "dB(Z)"; others as they are.
std::string WeightingUnit(std::string_view weighting);

// The wall keeps the last ended shift's figures this long into the next shift.
inline constexpr std::int64_t KeptShiftSeconds = 15 * 60;

// The last shift of `pattern` that ended at or before `now` (UTC seconds), while the wall keeps
// it: between shifts, and for the first KeptShiftSeconds of `current`, the shift under way.
std::optional<ShiftWindow> KeptShift(const ShiftPattern& pattern, std::int64_t now,
                                     const std::optional<ShiftWindow>& current);

// The note of a display that records nothing since another records into the record: an
// English source text, drawn in the display language.
inline constexpr char RecordsElsewhereNote[] =
    QT_TRANSLATE_NOOP("History", "Another display records the levels; this one records nothing");

// The picture before the record has been read: the title and the chart's frame.
HistoryPicture MakeHistoryFrame(const HistoryWindow& window, std::string_view host);
// The picture of what a read of `host`'s record gave: the chart of its minutes in `window`, and
// the figures of the shift under way, `shift`, from its minutes (the record may hold minutes
// before the window for it); "No shift under way" between shifts. The shift that just ended,
// `ended`, comes first with its final figures as the report prints them ("Shift 06:00-14:00
// ended:", "LEX,8h 86.2 dB(A), dose 132.4 %"), in the room of the figures so far of a shift
// just begun. Minutes whose level or covered time is not a finite number are left out, as if
// they had not been recorded.
HistoryPicture MakeHistoryPicture(const HistoryWindow& window, std::string_view host, const HistoryRecord& record,
                                  const std::optional<ShiftWindow>& shift = std::nullopt,
                                  const std::optional<ShiftWindow>& ended = std::nullopt);
// The chart alone of `rows` over `window`, as above but without the wall's figures: for the
// report, which prints its own.
HistoryPicture MakeHistoryChart(const HistoryWindow& window, std::string_view host, const std::vector<MinuteRow>& rows);

// The local full hours from `from` to `to` (both included), UTC seconds.
std::vector<HourMark> LocalHourMarks(std::int64_t from, std::int64_t to);
