#include "report/report_fields.h"

#include "exposure/local_days.h"
#include "exposure/printed_figures.h"

#include <chrono>

namespace {

// The printed number with its unit; empty without a number, so a unit never stands alone.
std::string WithUnit(const std::string& number, const char* unit) {
    return number.empty() ? number : number + unit;
}

// "86.3 dB(A)"; empty for no level.
std::string Level(double level) {
    return WithUnit(FormatTenths(level), " dB(A)");
}

// "6:00 (75 %)"
std::string Measured(const ShiftFigures& shift) {
    return FormatHoursMinutes(shift.MeasuredSeconds) + " (" + std::to_string(shift.CoveragePercent) + " %)";
}

// The band, or for a shift under way that its figures are those so far.
std::string ShiftVerdict(const ShiftFigures& shift) {
    return shift.UnderWay ? "under way: as measured so far" : shift.Verdict();
}

// "88.0 dB(A) at 14:37", with the date when the minute is on another day than the shift's start.
std::string LoudestMinute(const ShiftFigures& shift) {
    if (!(shift.MeasuredSeconds > 0.0))
        return {};
    const LocalDate date = LocalDateOf(shift.LoudestStart);
    return Level(shift.LoudestLeq) + " at " + (date == shift.Window.Date ? "" : FormatDate(date) + " ") +
           ShiftClock(shift.LoudestStart);
}

}  // namespace

std::string Weekday(const LocalDate& date) {
    static constexpr const char* Names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    const std::chrono::year_month_day day{std::chrono::year(date.Year), std::chrono::month(date.Month),
                                          std::chrono::day(date.Day)};
    return Names[std::chrono::weekday(std::chrono::sys_days(day)).c_encoding()];
}

std::string MeterClassText(int meterClass) {
    return meterClass == MeterClassNotStated ? "class not stated, reckoned as class 2"
                                             : "class " + std::to_string(meterClass);
}

std::string PatternText(const ShiftPattern& pattern) {
    std::string text;
    for (const Shift& shift : pattern.Shifts())
        text += (text.empty() ? "" : ", ") + ShiftHours(shift);
    return text;
}

const std::vector<TableField<SummaryLine>> SummaryFields = {
    {"Date",
     [](const SummaryLine& l) {
         return Weekday(l.Shift->Window.Date).substr(0, 3) + " " + FormatDate(l.Shift->Window.Date);
     }},
    {"Shift", [](const SummaryLine& l) { return ShiftHours(l.Shift->Window.Hours); }},
    {"Te", [](const SummaryLine& l) { return FormatHoursMinutes(l.Shift->DurationSeconds); }},
    {"Measured", [](const SummaryLine& l) { return Measured(*l.Shift); }},
    {"LAeq", [](const SummaryLine& l) { return FormatTenths(l.Shift->Laeq); }},
    {"LEX,8h", [](const SummaryLine& l) { return FormatTenths(l.Shift->Lex8h) + (l.Highest ? " *" : ""); }},
    {"Dose %", [](const SummaryLine& l) { return FormatTenths(l.Shift->DosePercent); }},
    {"Action value (LEX,8h)", [](const SummaryLine& l) { return ShiftVerdict(*l.Shift); }, true},
};

const std::vector<TableField<ShiftFigures>> DayFields = {
    {"Shift", [](const ShiftFigures& s) { return ShiftHours(s.Window.Hours); }},
    {"Duration (Te)", [](const ShiftFigures& s) { return FormatHoursMinutes(s.DurationSeconds); }},
    {"Measured (A-weighted)", Measured},
    {"LAeq", [](const ShiftFigures& s) { return Level(s.Laeq); }},
    {"LEX,8h", [](const ShiftFigures& s) { return Level(s.Lex8h); }},
    {"Dose", [](const ShiftFigures& s) { return WithUnit(FormatTenths(s.DosePercent), " %"); }},
    {"LAmax", [](const ShiftFigures& s) { return Level(s.Lmax); }},
    {"Loudest minute", LoudestMinute, true},
    {"Minutes above 85 dB(A)", [](const ShiftFigures& s) { return std::to_string(s.MinutesAbove85); }},
    {"Action value", ShiftVerdict, true},
    {"Other weightings", [](const ShiftFigures& s) { return s.OtherSeconds.empty() ? "none" : s.OtherWeightings(); },
     true},
};

const std::vector<TableField<ShiftUncertainty>> UncertaintyFields = {
    {"Shift", [](const ShiftUncertainty& u) { return ShiftHours(u.Hours); }},
    {"LEX,8h of the period and its uncertainty", [](const ShiftUncertainty& u) { return u.Text(); }, true},
    {"Within its uncertainty", [](const ShiftUncertainty& u) { return u.ReachText(); }, true},
};

// A week with a shift not judged gets the words alone: a LEX,w without that shift would read low.
const std::vector<TableField<WeeklyLevel>> WeekFields = {
    {"Week", [](const WeeklyLevel& w) { return FormatIsoWeek(w.Week); }},
    {"Shift", [](const WeeklyLevel& w) { return ShiftHours(w.Hours); }},
    {"Judged shifts", [](const WeeklyLevel& w) { return std::to_string(w.Judged); }},
    {"LEX,w", [](const WeeklyLevel& w) { return w.NotJudged > 0 ? "" : Level(w.LexW); }},
    {"Action value (LEX,w)", [](const WeeklyLevel& w) { return w.Verdict(); }, true},
};
