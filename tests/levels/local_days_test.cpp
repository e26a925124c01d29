// Local days and times in the time zones of sites: days of 23 and 25 hours where the clocks
// change, offsets east and west of UTC and of half hours.
#include "levels/local_days.h"

#include "tests/support/case_name.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

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
    int hours;          // until the next day's first moment
};

class LocalDayTable : public ::testing::TestWithParam<DayCase> {};

TEST_P(LocalDayTable, RunsFromOneLocalMidnightToTheNext) {
    const DayCase& c = GetParam();
    const TimeZone zone(c.zone);
    const std::int64_t start = LocalDayStart(c.date);
    EXPECT_EQ(FormatLocalTime(start), c.start);
    EXPECT_EQ(LocalDayStart(NextDate(c.date)) - start, c.hours * 3600);
    EXPECT_EQ(LocalDateOf(start), c.date);
    EXPECT_EQ(LocalDateOf(start - 1), LocalDateOf(start - 86400)) << "the second before is the day before";
}

INSTANTIATE_TEST_SUITE_P(
    Zones, LocalDayTable,
    ::testing::Values(DayCase{"Utc", "UTC", {2026, 11, 30}, "2026-11-30T00:00:00+00:00", 24},
                      DayCase{"BerlinWinter", "Europe/Berlin", {2026, 11, 30}, "2026-11-30T00:00:00+01:00", 24},
                      DayCase{"BerlinSummer", "Europe/Berlin", {2026, 7, 1}, "2026-07-01T00:00:00+02:00", 24},
                      DayCase{"BerlinSpringForward", "Europe/Berlin", {2026, 3, 29}, "2026-03-29T00:00:00+01:00", 23},
                      DayCase{"BerlinFallBack", "Europe/Berlin", {2026, 10, 25}, "2026-10-25T00:00:00+02:00", 25},
                      DayCase{
                          "NewYorkSpringForward", "America/New_York", {2026, 3, 8}, "2026-03-08T00:00:00-05:00", 23},
                      DayCase{"StJohnsHalfHours", "America/St_Johns", {2026, 1, 15}, "2026-01-15T00:00:00-03:30", 24},
                      DayCase{"KolkataHalfHours", "Asia/Kolkata", {2026, 1, 15}, "2026-01-15T00:00:00+05:30", 24},
                      // The clocks skip midnight itself: the day starts at 01:00.
                      DayCase{"HavanaSkipsMidnight", "America/Havana", {2015, 3, 8}, "2015-03-08T01:00:00-04:00", 23},
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
}

}  // namespace
