// The CSV of decimon-levels: the minutes' records, and the daily summary with the example day
// of 4 h at 88 dBA and 4 h at 70 dBA.
#include "levels/levels_csv.h"

#include "tests/support/case_name.h"
#include "tests/support/level_database.h"
#include "tests/support/process_locale.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace decimon::test;

class Csv : public ::testing::Test {
protected:
    // The daily CSV of `rows`, given one at a time as decimon-levels reads them.
    static std::string DailyLines(const std::vector<MinuteRow>& rows, double shiftLenHours) {
        DailyCsv daily;
        for (const MinuteRow& row : rows)
            daily.Add(row);
        return daily.Lines(shiftLenHours);
    }

    const TimeZone berlin_{"Europe/Berlin"};
};

struct FieldCase {
    const char* text;
    const char* field;
};

class CsvFieldTable : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldTable, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField(GetParam().text), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(Texts, CsvFieldTable,
                         ::testing::Values(FieldCase{"press", "press"}, FieldCase{"127.0.0.1:16161", "127.0.0.1:16161"},
                                           FieldCase{"[::1]:161", "[::1]:161"}, FieldCase{"", ""},
                                           FieldCase{"hall 3, press", "\"hall 3, press\""},
                                           FieldCase{"the \"big\" one", "\"the \"\"big\"\" one\""},
                                           FieldCase{"two\nlines", "\"two\nlines\""}, FieldCase{"cr\r", "\"cr\r\""},
                                           FieldCase{"it's", "it's"}));

TEST_F(Csv, AMinuteInLocalTimeWithItsOffsetAndOneDecimal) {
    const MinuteRow row{"press", BerlinEight, "dBA", 57, 57.0, 88.04, 80.25, 96.35};
    EXPECT_EQ(MinuteCsvLine(row), "2025-11-30T08:00:00+01:00,press,dBA,57,57,88.0,80.2,96.3\r\n");
    const MinuteRow summer{"hall 3, press", BerlinEight - 150 * 86400, "---", 12, 60.0, -3.0, -3.0, -3.0};
    EXPECT_EQ(MinuteCsvLine(summer), "2025-07-03T09:00:00+02:00,\"hall 3, press\",---,12,60,-3.0,-3.0,-3.0\r\n");
}

TEST_F(Csv, DecimalPointsWhateverTheLocale) {
    const ProcessLocale german(GermanLocale);
    if (!german.Active())
        GTEST_SKIP() << GermanLocale << " is not generated";
    const std::vector<MinuteRow> rows = SteadyMinutes("press", BerlinEight, 2, 85.5);
    EXPECT_EQ(MinuteCsvLine(rows[0]), "2025-11-30T08:00:00+01:00,press,dBA,60,60,85.5,85.5,85.5\r\n");
    EXPECT_EQ(DailyLines(rows, 7.5), "2025-11-30,press,dBA,0:02,85.5,61.7,0.5,85.5\r\n");
}

struct DailyCase {
    const char* name;
    std::vector<MinuteRow> rows;
    double shiftLenHours;
    const char* lines;
    const char* zone = "Europe/Berlin";
};

class DailyTable : public Csv, public ::testing::WithParamInterface<DailyCase> {};

TEST_P(DailyTable, SummarisesEachLocalDayAndHost) {
    const TimeZone zone(GetParam().zone);
    EXPECT_EQ(DailyLines(GetParam().rows, GetParam().shiftLenHours), GetParam().lines);
}

// Local midnight of 2025-11-30 is 23:00 UTC the day before.
constexpr std::int64_t BerlinMidnight = BerlinEight - 8 * 3600;
// 2026-03-29, 23 hours long: its midnight, and the next day's.
constexpr std::int64_t SpringForward = 1774738800;
constexpr std::int64_t AfterSpringForward = SpringForward + 23 * 3600;
// 2024-11-02 23:30 in Havana (-04:00); at 01:00 the clocks go back to midnight.
constexpr std::int64_t HavanaHalfPastEleven = 1730604600;

INSTANTIATE_TEST_SUITE_P(
    Days, DailyTable,
    ::testing::Values(
        // Averaging the decibels would give 79.0; the 4 h at 88 alone are a dose of 99.8 %.
        DailyCase{"ExampleDay", ExampleDay(), 8.0, "2025-11-30,press,dBA,8:00,85.1,85.1,101.3,88.0\r\n"},
        DailyCase{"LoudHalfAlone", SteadyMinutes("press", BerlinEight, 240, 88.0), 8.0,
                  "2025-11-30,press,dBA,4:00,88.0,85.0,99.8,88.0\r\n"},
        DailyCase{"TwelveHourShift", ExampleDay(), 12.0, "2025-11-30,press,dBA,8:00,85.1,85.1,67.6,88.0\r\n"},
        DailyCase{"NoShift", ExampleDay(), 0.0, "2025-11-30,press,dBA,8:00,85.1,85.1,,88.0\r\n"},
        // Minutes on both sides of local midnight belong to two days.
        DailyCase{"AcrossMidnight", SteadyMinutes("press", BerlinMidnight - 120, 4, 80.0), 8.0,
                  "2025-11-29,press,dBA,0:02,80.0,56.2,0.1,80.0\r\n"
                  "2025-11-30,press,dBA,0:02,80.0,56.2,0.1,80.0\r\n"},
        // The day the clocks go forward ends 23 hours after it began.
        DailyCase{"SpringForwardDay",
                  Joined({SteadyMinutes("press", SpringForward, 1, 90.0),
                          SteadyMinutes("press", AfterSpringForward - 60, 2, 90.0)}),
                  8.0,
                  "2026-03-29,press,dBA,0:02,90.0,66.2,1.3,90.0\r\n"
                  "2026-03-30,press,dBA,0:01,90.0,63.2,0.7,90.0\r\n"},
        DailyCase{"TwoHostsInOrder", Joined({ExampleDay("west"), SteadyMinutes("east", BerlinEight, 60, 90.0)}), 8.0,
                  "2025-11-30,east,dBA,1:00,90.0,81.0,39.5,90.0\r\n"
                  "2025-11-30,west,dBA,8:00,85.1,85.1,101.3,88.0\r\n"},
        DailyCase{"Gaps",
                  std::vector<MinuteRow>{{"press", BerlinEight, "dBC", 30, 30.0, 94.0, 90.0, 98.0},
                                         {"press", BerlinEight + 3600, "dBC", 45, 45.0, 91.0, 91.0, 91.0}},
                  8.0, "2025-11-30,press,dBC,0:01,92.5,66.6,1.4,98.0\r\n"},
        DailyCase{"TwoWeightings",
                  Joined({SteadyMinutes("press", BerlinEight, 1, 80.0, "dBA"),
                          SteadyMinutes("press", BerlinEight + 60, 1, 80.0, "dBC")}),
                  8.0, "2025-11-30,press,dBA+dBC,0:02,80.0,56.2,0.1,80.0\r\n"},
        // Both of the minutes at 00:30 belong to the day that midnight began.
        DailyCase{"MidnightTwice",
                  Joined({SteadyMinutes("press", HavanaHalfPastEleven, 1, 80.0),
                          SteadyMinutes("press", HavanaHalfPastEleven + 3600, 1, 80.0),
                          SteadyMinutes("press", HavanaHalfPastEleven + 7200, 1, 80.0)}),
                  8.0,
                  "2024-11-02,press,dBA,0:01,80.0,53.2,0.1,80.0\r\n"
                  "2024-11-03,press,dBA,0:02,80.0,56.2,0.1,80.0\r\n",
                  "America/Havana"},
        // The day's lmax is its loudest level, which a quieter minute may hold.
        DailyCase{"LoudestLevel",
                  std::vector<MinuteRow>{{"press", BerlinEight, "dBA", 60, 60.0, 88.0, 84.6, 93.1},
                                         {"press", BerlinEight + 60, "dBA", 58, 58.0, 87.0, 84.6, 101.4}},
                  8.0, "2025-11-30,press,dBA,0:02,87.5,63.7,0.7,101.4\r\n"},
        DailyCase{"Nothing", std::vector<MinuteRow>{}, 8.0, ""}),
    CaseName());

}  // namespace
