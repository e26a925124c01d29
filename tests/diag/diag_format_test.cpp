// The diagnostics texts: thousands separators and day-hour-minute-second spans.
#include "diag/diag_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

constexpr double Second = 1.0 / 86400.0;

std::string Span(double days) {
    return FormatSpan(COleDateTimeSpan(days));
}

}  // namespace

TEST(FormatThousands, GroupsByThreeWithTheSignOnTheLeadingGroupOnly) {
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(-999), "-999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(1001), "1,001");
    EXPECT_EQ(FormatThousands(-1234), "-1,234");
    EXPECT_EQ(FormatThousands(999999), "999,999");
    EXPECT_EQ(FormatThousands(1000000), "1,000,000");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatThousands(-1000005), "-1,000,005");
    EXPECT_EQ(FormatThousands(999999999), "999,999,999");
    EXPECT_EQ(FormatThousands(1000000000), "1,000,000,000");
    EXPECT_EQ(FormatThousands(-1002003004), "-1,002,003,004");
    EXPECT_EQ(FormatThousands(INT32_MAX), "2,147,483,647");
    EXPECT_EQ(FormatThousands(INT32_MIN), "-2,147,483,648");  // no group of its own for the sign
}

TEST(FormatSpan, RoundsToTheNearestSecond) {
    EXPECT_EQ(Span(0.0), "0d 0h 0m 0s");
    EXPECT_EQ(Span(2 * Second), "0d 0h 0m 2s");
    EXPECT_EQ(Span(1.0 + (2 * 3600 + 3 * 60 + 4.6) * Second), "1d 2h 3m 5s");
    EXPECT_EQ(Span(1.0 + (2 * 3600 + 3 * 60 + 4.4) * Second), "1d 2h 3m 4s");
    EXPECT_EQ(Span(0.5 * Second), "0d 0h 0m 1s");
    EXPECT_EQ(Span(86399.6 * Second), "1d 0h 0m 0s");  // the carry runs through every field
    EXPECT_EQ(Span(59.6 * Second), "0d 0h 1m 0s");
}

TEST(FormatSpan, ANegativeSpanCarriesItsSignInEveryField) {
    EXPECT_EQ(Span(-90 * Second), "0d 0h -1m -30s");
    EXPECT_EQ(Span(-0.5 * Second), "0d 0h 0m -1s");
    EXPECT_EQ(Span(-(1.0 + 3661 * Second)), "-1d -1h -1m -1s");
}

TEST(FormatSpan, SpansBeyondTheValidRangeStillShowTheirValue) {
    ASSERT_EQ(COleDateTimeSpan(5000000.0).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ(Span(5000000.0), "5000000d 0h 0m 0s");
    EXPECT_EQ(Span(-5000000.0 - 30 * Second), "-5000000d 0h 0m -30s");
}

TEST(FormatSpan, DayCountsBeyondAnInt32AreHeldAtTheLimit) {
    EXPECT_EQ(Span(1e300), "2147483647d 0h 0m 0s");
    EXPECT_EQ(Span(-1e300), "-2147483647d 0h 0m 0s");
    EXPECT_EQ(Span(std::numeric_limits<double>::infinity()), "2147483647d 0h 0m 0s");
    EXPECT_EQ(Span(-std::numeric_limits<double>::infinity()), "-2147483647d 0h 0m 0s");
    EXPECT_EQ(Span(std::numeric_limits<double>::quiet_NaN()), "0d 0h 0m 0s");
}
