#include "monitor/dose.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct DoseCase {
    double level;
    int offset;
    double shift;
    const char* expected;
};

class DoseTable : public ::testing::TestWithParam<DoseCase> {};

TEST_P(DoseTable, FormatsTimeToLimit) {
    const DoseCase& c = GetParam();
    EXPECT_EQ(FormatTimeToLimit(c.level, c.offset, c.shift), c.expected)
        << "level " << c.level << " offset " << c.offset << " shift " << c.shift;
}

// An eight-hour shift at 85 dB; 10 dB more divides the time by ten.
INSTANTIATE_TEST_SUITE_P(EightHourShift, DoseTable,
                         ::testing::Values(DoseCase{-1.0, 0, 8.0, "---"}, DoseCase{0.0, 0, 8.0, "> 8h 0m"},
                                           DoseCase{84.9, 0, 8.0, "> 8h 0m"}, DoseCase{85.0, 0, 8.0, "8h 0m"},
                                           DoseCase{85.1, 0, 8.0, "7h 49m"}, DoseCase{86.0, 0, 8.0, "6h 21m"},
                                           DoseCase{88.0, 0, 8.0, "4h 0m"}, DoseCase{90.0, 0, 8.0, "2h 31m"},
                                           DoseCase{91.0, 0, 8.0, "2h 0m"}, DoseCase{95.0, 0, 8.0, "0h 48m"},
                                           DoseCase{97.0, 0, 8.0, "0h 30m"}, DoseCase{100.0, 0, 8.0, "0h 15m"},
                                           DoseCase{103.0, 0, 8.0, "0h 7m"}, DoseCase{140.0, 0, 8.0, "0h 0m"}));

// The offset is added to the level; the "no reading" test looks at the level alone.
INSTANTIATE_TEST_SUITE_P(LevelOffset, DoseTable,
                         ::testing::Values(DoseCase{82.0, 3, 8.0, "8h 0m"}, DoseCase{85.0, 3, 8.0, "4h 0m"},
                                           DoseCase{10.0, -20, 8.0, "> 8h 0m"}, DoseCase{-0.5, 90, 8.0, "---"}));

// The ">" form shows the shift length, its minutes truncated from the double's fraction.
INSTANTIATE_TEST_SUITE_P(ShiftLength, DoseTable,
                         ::testing::Values(DoseCase{80.0, 0, 7.5, "> 7h 30m"}, DoseCase{80.0, 0, 8.5, "> 8h 30m"},
                                           DoseCase{80.0, 0, 8.1, "> 8h 5m"}, DoseCase{80.0, 0, 8.2, "> 8h 11m"},
                                           DoseCase{80.0, 0, 8.3, "> 8h 18m"}, DoseCase{90.0, 0, 0.0, "0h 0m"}));

// Values a hand-edited settings file can hold: never undefined behaviour.
INSTANTIATE_TEST_SUITE_P(OutOfRange, DoseTable,
                         ::testing::Values(DoseCase{100.0, 0, 1e9, "596523h 14m"},  // seconds saturate at INT_MAX
                                           DoseCase{50.0, 0, 1e12, "> 2147483647h 0m"},
                                           DoseCase{0.0, INT32_MIN, 0.0, "0h 0m"},
                                           DoseCase{std::numeric_limits<double>::quiet_NaN(), 0, 8.0, "---"},
                                           DoseCase{std::numeric_limits<double>::infinity(), 0, 8.0, "---"},
                                           DoseCase{85.0, 0, std::numeric_limits<double>::infinity(), "---"},
                                           DoseCase{85.0, 0, std::numeric_limits<double>::quiet_NaN(), "---"}));

}  // namespace
