// Local days and times in the time zones of sites: days of 23 and 25 hours where the clocks
// change, offsets east and west of UTC and of half hours, a midnight that comes twice.
#include "exposure/local_days.h"

#include "tests/support/case_name.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

using decimon::test::CaseName;
using decimon::test::TimeZone;

struct DayCase {
    const char* name;
    const char* zone;
    LocalDate date;
    const char* start;  // the day's first moment, as FormatLocalTime writes it
    double hours;       // until the next day's first moment
};

class LocalDayTable : public ::testing::TestWithParam<DayCase> {};

TEST_P(LocalDayTable, RunsFromOneLocalMidnightToTheNext) {
    const DayCase& c = GetParam();
    const TimeZone zone(c.zone);
    const std::int64_t start = LocalDayStart(c.date);
    const std::int64_t end = LocalDayStart(NextDate(c.date));
    EXPECT_EQ(FormatLocalTime(start), c.start);
    EXPECT_EQ(end - start, std::llround(c.hours * 3600));
    EXPECT_EQ(LocalDateOf(start), c.date);
    EXPECT_EQ(LocalDateOf(end - 1), c.date);
    const LocalDate before = LocalDateOf(start - 1);
    EXPECT_EQ(NextDate(before), c.date) << "the second before is the day before";
    EXPECT_LT(LocalDayStart(before), start);
    EXPECT_EQ(LocalDayStart(c.date), start) << "whatever was asked before";
}

INSTANTIATE_TEST_SUITE_P(
    Zones, LocalDayTable,
    ::testing::Values(
        DayCase{"Utc", "UTC", {2026, 11, 30}, "2026-11-30T00:00:00+00:00", 24},
        DayCase{"BerlinWinter", "Europe/Berlin", {2026, 11, 30}, "2026-11-30T00:00:00+01:00", 24},
        DayCase{"BerlinSummer", "Europe/Berlin", {2026, 7, 1}, "2026-07-01T00:00:00+02:00", 24},
        DayCase{"BerlinSpringForward", "Europe/Berlin", {2026, 3, 29}, "2026-03-29T00:00:00+01:00", 23},
        DayCase{"BerlinFallBack", "Europe/Berlin", {2026, 10, 25}, "2026-10-25T00:00:00+02:00", 25},
        DayCase{"NewYorkSpringForward", "America/New_York", {2026, 3, 8}, "2026-03-08T00:00:00-05:00", 23},
        DayCase{"StJohnsHalfHours", "America/St_Johns", {2026, 1, 15}, "2026-01-15T00:00:00-03:30", 24},
        DayCase{"KolkataHalfHours", "Asia/Kolkata", {2026, 1, 15}, "2026-01-15T00:00:00+05:30", 24},
        // The clocks skip midnight itself: the day starts at 01:00.
        DayCase{"HavanaSkipsMidnight", "America/Havana", {2015, 3, 8}, "2015-03-08T01:00:00-04:00", 23},
        // Midnight comes twice: the day starts at the first.
        DayCase{"HavanaMidnightTwice", "America/Havana", {2024, 11, 3}, "2024-11-03T00:00:00-04:00", 25},
        // The clocks go back by half an hour.
        DayCase{"LordHoweHalfHourBack", "Australia/Lord_Howe", {2026, 4, 5}, "2026-04-05T00:00:00+11:00", 24.5},
        DayCase{"LeapDay", "UTC", {2028, 2, 29}, "2028-02-29T00:00:00+00:00", 24},
        DayCase{"YearEnd", "Europe/Berlin", {2026, 12, 31}, "2026-12-31T00:00:00+01:00", 24}),
    CaseName());

struct ParseCase {
    const char* text;
    std::optional<LocalDate> date;
};

class ParseDateTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseDateTable, TakesRealDatesOnly) {
    EXPECT_EQ(ParseDate(GetParam().text), GetParam().date) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseDateTable,
    ::testing::Values(ParseCase{"2026-11-30", LocalDate{2026, 11, 30}}, ParseCase{"2024-02-29", LocalDate{2024, 2, 29}},
                      ParseCase{"2000-02-29", LocalDate{2000, 2, 29}}, ParseCase{"2100-02-29", std::nullopt},
                      ParseCase{"2026-02-29", std::nullopt}, ParseCase{"2026-04-31", std::nullopt},
                      ParseCase{"2026-13-01", std::nullopt}, ParseCase{"2026-00-10", std::nullopt},
                      ParseCase{"2026-01-00", std::nullopt}, ParseCase{"0000-01-01", std::nullopt},
                      ParseCase{"2026-1-5", std::nullopt}, ParseCase{"2026/11/30", std::nullopt},
                      ParseCase{"2026-11-30x", std::nullopt}, ParseCase{"+026-11-30", std::nullopt},
                      ParseCase{"", std::nullopt}, ParseCase{"today", std::nullopt}));

TEST(LocalDates, FormatAndStepOn) {
    EXPECT_EQ(FormatDate({2026, 1, 5}), "2026-01-05");
    EXPECT_EQ(NextDate({2026, 1, 31}), (LocalDate{2026, 2, 1}));
    EXPECT_EQ(NextDate({2024, 2, 28}), (LocalDate{2024, 2, 29}));
    EXPECT_EQ(NextDate({2026, 2, 28}), (LocalDate{2026, 3, 1}));
    EXPECT_EQ(NextDate({2026, 12, 31}), (LocalDate{2027, 1, 1}));
    // ISO weeks: Monday to Sunday, week 1 holding the year's first Thursday.
    EXPECT_EQ(FormatIsoWeek(IsoWeekOf({2025, 11, 30})), "2025-W48");
    EXPECT_EQ(FormatIsoWeek(IsoWeekOf({2025, 12, 1})), "2025-W49");
    EXPECT_EQ(FormatIsoWeek(IsoWeekOf({2024, 12, 30})), "2025-W01");
    EXPECT_EQ(FormatIsoWeek(IsoWeekOf({2021, 1, 3})), "2020-W53");
}

}  // namespace
