#include "exposure/shift_pattern.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int DefaultFirstStart = 6 * 60;

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "HH:MM" (or "H:MM") as minutes after midnight, up to 24:00 when `end`; -1 for anything else.
int TimeOfDay(std::string_view text, bool end) {
    text = Trimmed(text);
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3)
        return -1;
    int hours = 0;
    int minutes = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at == colon)
            continue;
        if (text[at] < '0' || text[at] > '9')
            return -1;
        int& part = at < colon ? hours : minutes;
        part = part * 10 + (text[at] - '0');
    }
    const int value = hours * 60 + minutes;
    if (minutes > 59 || value > (end ? MinutesPerDay : MinutesPerDay - 1))
        return -1;
    return value;
}

std::string Clock(int minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
    return text;
}

}  // namespace

std::string ShiftHours(const Shift& shift) {
    const int end = shift.Start + shift.Length;
    return Clock(shift.Start) + "-" + (end == MinutesPerDay ? "24:00" : Clock(end));  // midnight ends a day
}

std::variant<ShiftPattern, std::string> ShiftPattern::Parse(std::string_view text) {
    ShiftPattern pattern;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const std::string_view part = Trimmed(text.substr(from, comma - from));
        from = comma + 1;
        const std::size_t dash = part.find('-');
        const int start = dash == std::string_view::npos ? -1 : TimeOfDay(part.substr(0, dash), false);
        const int end = start < 0 ? -1 : TimeOfDay(part.substr(dash + 1), true);
        if (end < 0)
            return part.empty() ? std::string("a shift is missing between two commas or at an end")
                                : "\"" + std::string(part) + "\" is not a shift as HH:MM-HH:MM";
        const int length = end > start ? end - start : end + MinutesPerDay - start;
        pattern.shifts_.push_back({start, length});
    }
    auto& shifts = pattern.shifts_;
    std::sort(shifts.begin(), shifts.end(), [](const Shift& a, const Shift& b) { return a.Start < b.Start; });
    for (std::size_t index = 0; index < shifts.size(); ++index) {
        // The next shift, the first of the next day after the last.
        const Shift& next = shifts[(index + 1) % shifts.size()];
        const int nextStart = next.Start + (index + 1 == shifts.size() ? MinutesPerDay : 0);
        if (shifts[index].Start + shifts[index].Length > nextStart)
            return ShiftHours(shifts[index]) + " and " + ShiftHours(next) + " overlap";
    }
    return pattern;
}

ShiftPattern ShiftPattern::Default(double hours) {
    if (!(hours >= 0.5 && hours <= 24.0))
        hours = 8.0;
    const int length = static_cast<int>(std::lround(hours * 60.0));
    ShiftPattern pattern;
    for (int start = 0; start + length <= MinutesPerDay; start += length)
        pattern.shifts_.push_back({(DefaultFirstStart + start) % MinutesPerDay, length});
    std::sort(pattern.shifts_.begin(), pattern.shifts_.end(),
              [](const Shift& a, const Shift& b) { return a.Start < b.Start; });
    return pattern;
}

std::string ShiftPattern::Text() const {
    std::string text;
    for (const Shift& shift : shifts_)
        text += (text.empty() ? "" : ",") + ShiftHours(shift);
    return text;
}

const ShiftPattern& PatternOfDay(const std::vector<DatedPattern>& patterns, const LocalDate& date) {
    const DatedPattern* found = &patterns.front();
    for (const DatedPattern& pattern : patterns)
        if (pattern.From <= date)
            found = &pattern;
    return found->Shifts;
}

std::optional<ShiftWindow> ShiftAt(const ShiftPattern& pattern, std::int64_t utcSeconds) {
    const LocalDate today = LocalDateOf(utcSeconds);
    const LocalDate yesterday = LocalDateOf(LocalDayStart(today) - 1);
    for (const LocalDate& date : {yesterday, today}) {
        for (const ShiftWindow& window : ShiftWindows(pattern, date)) {
            if (window.From <= utcSeconds && utcSeconds < window.To)
                return window;
        }
    }
    return std::nullopt;
}

std::vector<ShiftWindow> ShiftWindows(const ShiftPattern& pattern, const LocalDate& date) {
    std::vector<ShiftWindow> windows;
    const LocalDate next = NextDate(date);
    for (std::size_t index = 0; index < pattern.Shifts().size(); ++index) {
        const Shift& shift = pattern.Shifts()[index];
        const int end = shift.Start + shift.Length;
        const std::int64_t from = LocalTimeStart(date, shift.Start * 60);
        const std::int64_t to =
            end <= MinutesPerDay ? LocalTimeStart(date, end * 60) : LocalTimeStart(next, (end - MinutesPerDay) * 60);
        windows.push_back({date, index, shift, from, to});
    }
    return windows;
}
