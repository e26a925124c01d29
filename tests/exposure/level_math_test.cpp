#include "exposure/level_math.h"

#include "tests/support/case_name.h"
#include "tests/support/exposure_of.h"
#include "tests/support/level_database.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using decimon::test::CaseName;
using decimon::test::ExposureOf;
using decimon::test::Joined;
using decimon::test::SteadyMinutes;

struct MinuteCase {
    std::int64_t utc;
    std::int64_t start;
};

class MinuteStartTable : public ::testing::TestWithParam<MinuteCase> {};

TEST_P(MinuteStartTable, IsTheMultipleOfSixtyAtOrBefore) {
    EXPECT_EQ(MinuteStart(GetParam().utc), GetParam().start) << GetParam().utc;
}

INSTANTIATE_TEST_SUITE_P(Boundaries, MinuteStartTable,
                         ::testing::Values(MinuteCase{0, 0}, MinuteCase{59, 0}, MinuteCase{60, 60}, MinuteCase{61, 60},
                                           MinuteCase{1699999980, 1699999980}, MinuteCase{1700000039, 1699999980},
                                           MinuteCase{1700000040, 1700000040}, MinuteCase{-1, -60},
                                           MinuteCase{-60, -60}, MinuteCase{-61, -120}));

// One period's minutes and what they come to, levels to a tenth as printed.
struct ExposureCase {
    const char* name;
    std::vector<MinuteRow> rows;
    double shiftLenHours;
    double seconds;
    double leq;
    double lex8h;
    double dosePercent;
    double loudest;  // the loudest minute's Leq
    double lmax;     // the loudest level
};

// A minute of 30 good polls out of 60.
MinuteRow HalfMinute(std::int64_t start, double level) {
    return {"meter", start, "dBA", 30, 30.0, level, level, level};
}

class ExposureTable : public ::testing::TestWithParam<ExposureCase> {};

TEST_P(ExposureTable, SumsTheCoveredTimesEnergy) {
    const ExposureCase& c = GetParam();
    const auto exposure = ExposureOf(c.rows, c.shiftLenHours);
    ASSERT_TRUE(exposure.has_value());
    EXPECT_DOUBLE_EQ(exposure->Seconds, c.seconds);
    EXPECT_NEAR(exposure->Leq, c.leq, 0.05);
    EXPECT_NEAR(exposure->Lex8h, c.lex8h, 0.05);
    EXPECT_NEAR(exposure->DosePercent, c.dosePercent, 0.05);
    EXPECT_DOUBLE_EQ(exposure->LoudestLeq, c.loudest);
    EXPECT_DOUBLE_EQ(exposure->Lmax, c.lmax);
}

const std::vector<MinuteRow> Loud = SteadyMinutes("meter", 1700000040, 240, 88.0);
const std::vector<MinuteRow> Quiet = SteadyMinutes("meter", 1700000040 + 240 * 60, 240, 70.0);

INSTANTIATE_TEST_SUITE_P(
    Periods, ExposureTable,
    ::testing::Values(
        // 4 h at 88 dBA then 4 h at 70 dBA: a mean of the decibels would say 79.0.
        ExposureCase{"FourHoursLoudFourQuiet", Joined({Loud, Quiet}), 8.0, 28800.0, 85.1, 85.1, 101.3, 88.0, 88.0},
        ExposureCase{"FourHoursLoudAlone", Loud, 8.0, 14400.0, 88.0, 85.0, 99.8, 88.0, 88.0},
        // The same energy reckoned against a longer shift is a smaller dose; LEX,8h stays.
        ExposureCase{"TwelveHourShift", Loud, 12.0, 14400.0, 88.0, 85.0, 66.5, 88.0, 88.0},
        ExposureCase{"WholeShiftAt85", SteadyMinutes("meter", 0, 480, 85.0), 8.0, 28800.0, 85.0, 85.0, 100.0, 85.0,
                     85.0},
        // Failed polls are gaps: half a minute covered counts half the energy.
        ExposureCase{
            "HalfMinutes", {HalfMinute(0, 90.0), HalfMinute(60, 90.0)}, 8.0, 60.0, 90.0, 63.2, 0.66, 90.0, 90.0},
        ExposureCase{"UnevenCover",
                     {HalfMinute(0, 80.0), SteadyMinutes("meter", 60, 1, 90.0)[0]},
                     8.0,
                     90.0,
                     88.5,
                     63.4,
                     0.69,
                     90.0,
                     90.0},
        // A short peak in the quieter minute: the loudest level is not the loudest minute's.
        ExposureCase{
            "PeakInAQuieterMinute",
            {{"meter", 0, "dBA", 60, 60.0, 90.0, 84.6, 93.1}, {"meter", 60, "dBA", 60, 60.0, 88.0, 84.6, 101.4}},
            8.0,
            120.0,
            89.1,
            65.3,
            1.07,
            90.0,
            101.4}),
    CaseName());

TEST(Exposure, OfNothingCoveredIsNothing) {
    EXPECT_FALSE(ExposureOf({}, 8.0).has_value());
    const std::vector<MinuteRow> empty = {{"meter", 0, "dBA", 0, 0.0, 80.0, 80.0, 80.0}};
    EXPECT_FALSE(ExposureOf(empty, 8.0).has_value());
    ExposureSum sum;
    sum.Add(empty[0]);
    EXPECT_TRUE(std::isnan(sum.Leq()));
}

TEST(Exposure, NamesTheLoudestMinuteAndTheWeightingsSeen) {
    std::vector<MinuteRow> rows = SteadyMinutes("meter", 600, 3, 80.0);
    rows[1].Leq = 96.4;
    rows.push_back({"meter", 780, "dBC", 60, 60.0, 81.0, 81.0, 81.0});
    rows.push_back({"meter", 840, "dBA", 60, 60.0, 82.0, 82.0, 82.0});
    const auto exposure = ExposureOf(rows, 8.0);
    ASSERT_TRUE(exposure.has_value());
    EXPECT_EQ(exposure->LoudestLeq, 96.4);
    EXPECT_EQ(exposure->LoudestStart, 660);
    EXPECT_EQ(exposure->Weighting, "dBA+dBC");
    EXPECT_EQ(ExposureOf(SteadyMinutes("meter", 0, 2, 80.0, "dBz"), 8.0)->Weighting, "dBz");
}

TEST(Exposure, AShiftThatIsNoPositiveNumberGivesNoDose) {
    ExposureSum sum;
    for (const MinuteRow& row : Loud)
        sum.Add(row);
    for (double shift : {0.0, -8.0, std::nan(""), HUGE_VAL})
        EXPECT_TRUE(std::isnan(sum.DosePercent(shift))) << shift;
}

}  // namespace
