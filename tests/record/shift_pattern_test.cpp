// The site's shifts as a site writes them: nights over midnight, gaps, overlaps refused, and
// the default of back-to-back shifts of ShiftLenHours from 06:00.
#include "record/shift_pattern.h"

#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using decimon::test::CaseName;

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
        PatternCase{"GapsAndMidnight", "7:00-15:30,18:00-24:00", "07:00-15:30,18:00-00:00"},
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

}  // namespace
