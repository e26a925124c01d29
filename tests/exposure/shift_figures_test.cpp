// The site's shifts and the figures of a shift, worked by hand from ISO 9612's rule
// (LEX,8h = LAeq,Te + 10 lg(Te / 8 h)) and the dose 100 x 10^((LEX,8h - 85) / 10) %: shifts over
// midnight and both clock changes, partly measured shifts and the 80 % rule, C-weighted
// minutes; patterns with gaps and overlaps, and the default from ShiftLenHours.
#include "exposure/shift_figures.h"

#include "exposure/printed_figures.h"
#include "exposure/shift_sums.h"
#include "exposure/uncertainty.h"
#include "exposure/weekly_levels.h"
#include "tests/support/case_name.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using decimon::test::CaseName;
using decimon::test::CentralEuropeanZone;
using decimon::test::TimeZone;

struct PatternCase {
    const char* name;
    const char* text;
    const char* shifts;  // as Text() gives them, or the reason it is none
};

class ShiftPatternTable : public ::testing::TestWithParam<PatternCase> {};

TEST_P(ShiftPatternTable, ReadsLocalTimesOfDay) {
    const auto parsed = ShiftPattern::Parse(GetParam().text);
    const auto* pattern = std::get_if<ShiftPattern>(&parsed);
    EXPECT_EQ(pattern ? pattern->Text() : std::get<std::string>(parsed), GetParam().shifts);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ShiftPatternTable,
    ::testing::Values(
        PatternCase{"ThreeShifts", "22:00-06:00, 06:00-14:00 ,14:00-22:00", "06:00-14:00,14:00-22:00,22:00-06:00"},
        PatternCase{"GapsAndMidnight", "7:00-15:30,18:00-24:00", "07:00-15:30,18:00-24:00"},
        PatternCase{"AllDay", "06:00-06:00", "06:00-06:00"},
        PatternCase{"Overlap", "06:00-14:00,13:00-22:00", "06:00-14:00 and 13:00-22:00 overlap"},
        PatternCase{"NightOverlapsMorning", "22:00-07:00,06:00-14:00", "22:00-07:00 and 06:00-14:00 overlap"},
        PatternCase{"NoTimeOfDay", "06:00-25:00", "\"06:00-25:00\" is not a shift as HH:MM-HH:MM"},
        PatternCase{"Empty", "", "a shift is missing between two commas or at an end"}),
    CaseName());

TEST(ShiftPattern, DefaultsToBackToBackShiftsFromSix) {
    EXPECT_EQ(ShiftPattern::Default(8.0).Text(), "06:00-14:00,14:00-22:00,22:00-06:00");
    EXPECT_EQ(ShiftPattern::Default(12.0).Text(), "06:00-18:00,18:00-06:00");
    EXPECT_EQ(ShiftPattern::Default(7.5).Text(), "06:00-13:30,13:30-21:00,21:00-04:30");
    EXPECT_EQ(ShiftPattern::Default(0.0).Text(), "06:00-14:00,14:00-22:00,22:00-06:00");
}

// Minutes from the shift's start, all alike.
struct MinuteRun {
    int from;  // minutes after the shift's start
    int minutes;
    const char* weighting;
    double leq;
    double seconds = 60.0;  // covered by each minute
};

struct FiguresCase {
    const char* name;
    LocalDate date;
    std::size_t shift;  // of the default shifts of shiftHours from 06:00
    std::vector<MinuteRun> runs;
    // Te and measured as h:mm, LAeq, LEX,8h and dose as printed ("-": none), then the verdict,
    // the other weightings and the loudest minute's clock time.
    const char* expected;
    double shiftHours = 8.0;
    int nowMinutes = -1;  // when the figures are taken, minutes after the shift's start; -1: once it ended
};

class ShiftFiguresTable : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(ShiftFiguresTable, JudgesTheShiftAsIso9612Does) {
    const FiguresCase& c = GetParam();
    const TimeZone zone(CentralEuropeanZone);
    const ShiftPattern pattern = ShiftPattern::Default(c.shiftHours);
    const ShiftWindow window = ShiftWindows(pattern, c.date).at(c.shift);
    std::vector<MinuteRow> rows;
    for (const MinuteRun& run : c.runs) {
        for (int minute = run.from; minute < run.from + run.minutes; ++minute)
            rows.push_back(
                {"press", window.From + minute * 60, run.weighting, 60, run.seconds, run.leq, run.leq, run.leq});
    }
    const ShiftFigures f =
        FiguresOfShift(window, rows, c.nowMinutes < 0 ? ShiftSum::NeverUnderWay : window.From + c.nowMinutes * 60);
    std::string got = FormatHoursMinutes(f.DurationSeconds) + " " + FormatHoursMinutes(f.MeasuredSeconds);
    for (double figure : {f.Laeq, f.Lex8h, f.DosePercent})
        got += " " + (std::isfinite(figure) ? FormatTenths(figure) : "-");
    got += " | " + f.Verdict() + " | " + f.OtherWeightings() + " | " +
           (f.MeasuredSeconds > 0 ? ShiftClock(f.LoudestStart) : "");
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shifts, ShiftFiguresTable,
    ::testing::Values(
        // 80 dB(A) all day: each 8 h shift is at 80.0, dose 100 x 10^-0.5.
        FiguresCase{"SteadyEighty",
                    {2026, 11, 30},
                    1,
                    {{0, 480, "dBA", 80}},
                    "8:00 8:00 80.0 80.0 31.6 | at or above the lower action value |  | 14:00"},
        // Half the shift at 88: the unmeasured half at 88 too, 10^0.3 = 199.5 %.
        FiguresCase{"HalfMeasured",
                    {2026, 11, 30},
                    0,
                    {{0, 240, "dBA", 88}},
                    "8:00 4:00 88.0 88.0 199.5 | not judged: 50 % of the shift measured |  | 06:00"},
        FiguresCase{"EightyPerCentJudged",
                    {2026, 11, 30},
                    0,
                    {{0, 384, "dBA", 85}},
                    "8:00 6:24 85.0 85.0 100.0 | at or above the upper action value |  | 06:00"},
        // On the rounding edges, judged as printed: 84.95 prints 85.0, so a dose of 100.0 % and the
        // upper band; 384 minutes of 59.95 s print as 6:24 of 8:00, 80 %.
        FiguresCase{"PrintedEightyFive",
                    {2026, 11, 30},
                    0,
                    {{0, 480, "dBA", 84.95}},
                    "8:00 8:00 85.0 85.0 100.0 | at or above the upper action value |  | 06:00"},
        FiguresCase{"PrintedEightyPerCent",
                    {2026, 11, 30},
                    0,
                    {{0, 384, "dBA", 80, 59.95}},
                    "8:00 6:24 80.0 80.0 31.6 | at or above the lower action value |  | 06:00"},
        FiguresCase{"JustUnderEightyPerCent",
                    {2026, 11, 30},
                    0,
                    {{0, 383, "dBA", 85}},
                    "8:00 6:23 85.0 85.0 100.0 | not judged: 79 % of the shift measured |  | 06:00"},
        FiguresCase{"NightOverMidnight",
                    {2026, 11, 30},
                    2,
                    {{0, 479, "dBA", 80}, {479, 1, "dBA", 90}},
                    "8:00 8:00 80.1 80.1 32.4 | at or above the lower action value |  | 05:59"},
        // At 13:08 the shift is under way: its figures so far, no LEX,8h, dose or band.
        FiguresCase{"UnderWayAtAFixedNow",
                    {2026, 11, 30},
                    0,
                    {{0, 428, "dBA", 88}},
                    "7:08 7:08 88.0 - - | under way |  | 06:00",
                    8.0,
                    428},
        // 7 h: 80 + 10 lg(7/8) = 79.42, printed 79.4: the dose 10^-0.56 = 27.5 %.
        FiguresCase{"NightClocksForward",
                    {2026, 3, 28},
                    2,
                    {{0, 420, "dBA", 80}},
                    "7:00 7:00 80.0 79.4 27.5 | below the lower action value |  | 22:00"},
        // 9 h: 10 lg(9/8) = 0.51 added; the loudest minute in the second 02:30, after the clocks went back.
        FiguresCase{"NightClocksBack",
                    {2026, 10, 24},
                    2,
                    {{0, 330, "dBA", 80}, {330, 1, "dBA", 95}, {331, 209, "dBA", 80}},
                    "9:00 9:00 80.2 80.8 38.0 | at or above the lower action value |  | 02:30+01:00"},
        FiguresCase{
            "CWeightedApart",
            {2026, 11, 30},
            0,
            {{0, 433, "dBA", 82}, {433, 47, "dBC", 95}},
            "8:00 7:13 82.0 82.0 50.1 | at or above the lower action value | 47 min C-weighted, not judged | 06:00"},
        FiguresCase{"OnlyCWeighted",
                    {2026, 11, 30},
                    0,
                    {{0, 480, "dBC", 95}},
                    "8:00 0:00 - - - | not judged: no A-weighted minutes | 480 min C-weighted, not judged | "},
        // 12 h shifts, 8 h at 87 and 4 h at 40: LEX,8h 87.0, the dose 10^0.2 = 158.5 %.
        FiguresCase{"TwelveHourShift",
                    {2026, 11, 30},
                    0,
                    {{0, 480, "dBA", 87}, {480, 240, "dBA", 40}},
                    "12:00 12:00 85.2 87.0 158.5 | 87 dB(A) or more before hearing protection |  | 06:00",
                    12.0}),
    CaseName());

// ISO 9612's full-day uncertainty, reckoned by hand from its Table C.4: Annex F's worked
// example (six days of 88.0 ... 88.4 dB over 9.25 h: LEX,8h 90.1, c1·u1 1.0, U 3.4 dB), and
// N = 3 (u1 1.0 dB: c1·u1 1.6) and N = 20 (u1 1.03 dB: c1·u1 0.3) with u2 0.7 or 1.5 dB.
struct UncertaintyCase {
    const char* name;
    std::vector<double> lex8h;
    int meterClass;
    const char* expected;  // Text(), then ReachText()
};

std::vector<double> Repeated(std::vector<double> levels, int times) {
    std::vector<double> all;
    for (int time = 0; time < times; ++time)
        all.insert(all.end(), levels.begin(), levels.end());
    return all;
}

class UncertaintyTable : public ::testing::TestWithParam<UncertaintyCase> {};

TEST_P(UncertaintyTable, ReckonsUAsIso9612Does) {
    const UncertaintyCase& c = GetParam();
    const ShiftUncertainty u = UncertaintyOf({360, 480}, c.lex8h, c.meterClass);
    EXPECT_EQ(u.Text() + " | " + u.ReachText(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Periods, UncertaintyTable,
    ::testing::Values(
        UncertaintyCase{"AnnexF", {88.6, 92.5, 88.2, 91.0, 89.6, 89.0}, 2, "LEX,8h 90.1 dB(A), U 3.4 dB (N = 6) | "},
        UncertaintyCase{"ThreeClassOne",
                        {85, 86, 87},
                        1,
                        "LEX,8h 86.1 dB(A), U 3.3 dB (N = 3) | may reach 87 dB(A) before hearing protection within its "
                        "uncertainty"},
        UncertaintyCase{"ThreeClassTwo",
                        {85, 86, 87},
                        2,
                        "LEX,8h 86.1 dB(A), U 4.0 dB (N = 3) | may reach "
                        "87 dB(A) before hearing protection within its uncertainty"},
        UncertaintyCase{"ThreeClassNotStated",
                        {85, 86, 87},
                        0,
                        "LEX,8h 86.1 dB(A), U 4.0 dB (N = 3; meter class not stated, reckoned as class 2) | may "
                        "reach 87 dB(A) before hearing protection within its uncertainty"},
        UncertaintyCase{
            "TwentyClassOne", Repeated({84, 86}, 10), 1,
            "LEX,8h 85.1 dB(A), U 2.1 dB (N = 20) | may reach 87 dB(A) before hearing protection within its "
            "uncertainty"},
        UncertaintyCase{
            "TwentyClassTwo", Repeated({84, 86}, 10), 2,
            "LEX,8h 85.1 dB(A), U 3.0 dB (N = 20) | may reach 87 dB(A) before hearing protection within its "
            "uncertainty"},
        // u1 = 0, U = 1.65 sqrt(0.7² + 1²) = 2.0: 83.0 may reach 85.
        UncertaintyCase{"SteadyReachesTheUpperValue",
                        {83, 83, 83},
                        1,
                        "LEX,8h 83.0 dB(A), U 2.0 dB (N = 3) | may reach the upper action value within its "
                        "uncertainty"},
        UncertaintyCase{"TooFew", {86, 87}, 2, "too few shifts for an uncertainty (2 of 3) | "},
        UncertaintyCase{
            "PastTheTable", {70, 80, 90}, 2, "no uncertainty: the shifts spread too widely (u1 10.0 dB) | "}),
    CaseName());

// The Directive's weekly level, LEX,w = 10 lg((1/5) Σ 10^(0.1 LEX,8h,i)), worked by hand.
TEST(WeeklyLevels, SumFiveNominalDaysAndJudgeOnlyWholeWeeks) {
    const TimeZone zone(CentralEuropeanZone);
    const ShiftPattern pattern = ShiftPattern::Default(8.0);
    std::vector<ShiftFigures> shifts;
    const auto work = [&](LocalDate date, int minutes, double leq) {
        const ShiftWindow window = ShiftWindows(pattern, date).at(0);
        std::vector<MinuteRow> rows;
        for (int minute = 0; minute < minutes; ++minute)
            rows.push_back({"press", window.From + minute * 60, "dBA", 60, 60.0, leq, leq, leq});
        shifts.push_back(FiguresOfShift(window, rows));
    };
    // 2025-W48, 88, 88, 88, 70 and 70 dB(A): 10 lg((3 x 10^8.8 + 2 x 10^7) / 5) = 85.8; Sunday not worked.
    for (int day = 24; day <= 28; ++day)
        work({2025, 11, day}, 480, day <= 26 ? 88 : 70);
    work({2025, 11, 30}, 0, 0);
    // 2025-W49, four days at 87 (87 + 10 lg(4/5) = 86.0) and a Friday measured for 4 hours.
    for (int day = 1; day <= 4; ++day)
        work({2025, 12, day}, 480, 87);
    work({2025, 12, 5}, 240, 87);
    std::string got;
    for (const WeeklyLevel& week : WeeklyLevelsOf(shifts))
        got += FormatIsoWeek(week.Week) + " " + ShiftHours(week.Hours) + " " + std::to_string(week.Judged) + " " +
               FormatTenths(week.LexW) + " " + week.Verdict() + "\n";
    EXPECT_EQ(got, "2025-W48 06:00-14:00 5 85.8 at or above the upper action value\n"
                   "2025-W49 06:00-14:00 4 86.0 not judged: 1 shift not judged\n");
}

TEST(ShiftSums, JudgeEachDayByItsOwnShifts) {
    const TimeZone zone(CentralEuropeanZone);
    const ShiftSums sums({{{2026, 11, 1}, {2026, 11, 14}, ShiftPattern::Default(8.0), ""},
                          {{2026, 11, 15}, {2026, 11, 30}, ShiftPattern::Default(12.0), ""}},
                         {2026, 11, 14}, {2026, 11, 15});
    std::string got;
    for (const ShiftWindow& window : sums.Windows())
        got += FormatDate(window.Date) + " " + ShiftHours(window.Hours) + "; ";
    EXPECT_EQ(got, "2026-11-14 06:00-14:00; 2026-11-14 14:00-22:00; 2026-11-14 22:00-06:00; 2026-11-15 06:00-18:00; "
                   "2026-11-15 18:00-06:00; ");
}

TEST(ShiftSums, LeavesOutShiftsNotBegunAndKeepsOneUnderWay) {
    const TimeZone zone(CentralEuropeanZone);
    const LocalDate day{2026, 11, 30};
    const std::int64_t now = ShiftWindows(ShiftPattern::Default(8.0), day).at(0).From + 428 * 60;
    const ShiftSums sums({{{2026, 11, 29}, day, ShiftPattern::Default(8.0), ""}}, {2026, 11, 29}, day, now);
    ASSERT_EQ(sums.Windows().size(), 4u);  // the 29th's three, the 30th's 06:00-14:00
    EXPECT_FALSE(sums.Figures(2, "press").UnderWay);
    EXPECT_TRUE(sums.Figures(3, "press").UnderWay);
}

}  // namespace
