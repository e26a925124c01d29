#pragma once
// The site's shifts: local times of day, the same every day, "06:00-14:00,14:00-22:00,22:00-06:00".
// A shift that ends at or before its start ends the next day and belongs to the day it starts;
// shifts may not overlap, and the minutes between them are in no shift. A shift that spans a
// change of the clocks lasts an hour more or less that day (see ShiftWindows).

#include "exposure/local_days.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

inline constexpr int MinutesPerDay = 24 * 60;

struct Shift {
    int Start = 0;   // minutes after midnight, 0 to 1439
    int Length = 0;  // minutes, 1 to 1440

    bool operator==(const Shift&) const = default;
};

class ShiftPattern {
public:
    // The shifts of `text`, or one line saying why it is none: a comma-separated list of
    // "HH:MM-HH:MM" (24:00 ends a shift at midnight), white space around the parts allowed.
    static std::variant<ShiftPattern, std::string> Parse(std::string_view text);
    // Back-to-back shifts of `hours` from 06:00, as many as fit in 24 h (8 h: three, 7.5 h:
    // 06:00-13:30, 13:30-21:00, 21:00-04:30); 8 h for a length that is not 0.5 to 24 hours.
    static ShiftPattern Default(double hours);

    // In the order of their starts.
    const std::vector<Shift>& Shifts() const { return shifts_; }
    // "06:00-14:00,14:00-22:00,22:00-06:00", which Parse reads back.
    std::string Text() const;

    bool operator==(const ShiftPattern&) const = default;

private:
    std::vector<Shift> shifts_;
};

// "06:00-14:00".
std::string ShiftHours(const Shift& shift);

// The shifts that judge the days From..To, both included; when they were the default because
// the setting Shifts could not be used, the line that said so.
struct DatedPattern {
    LocalDate From;
    LocalDate To;
    ShiftPattern Shifts;
    std::string Rejected;
};

// The shifts of `date` among `patterns` (in order of their dates): of the last that starts at
// or before it, else of the first.
const ShiftPattern& PatternOfDay(const std::vector<DatedPattern>& patterns, const LocalDate& date);

// One shift of one day, in real time.
struct ShiftWindow {
    LocalDate Date;         // the day it belongs to: the day it starts
    std::size_t Index = 0;  // in the pattern's shifts
    Shift Hours;            // as the pattern has it
    std::int64_t From = 0;  // UTC seconds: the minutes with From <= start < To are the shift's
    std::int64_t To = 0;
};

// The shifts of `date`, in order; the last may end the next day.
std::vector<ShiftWindow> ShiftWindows(const ShiftPattern& pattern, const LocalDate& date);

// The shift under way at `utcSeconds` (of its day or of the day before); nothing between shifts.
std::optional<ShiftWindow> ShiftAt(const ShiftPattern& pattern, std::int64_t utcSeconds);
