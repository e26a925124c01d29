#include "platform/sys/ole_date_time.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ctime>

namespace {

// Local time is UTC in these tests, and "now" is whatever the test says.
class DateTime : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override { COleDateTime::SetClock(nullptr); }

    static COleDateTime At(int y, int mo, int d, int h, int mi, int s) {
        COleDateTime value;
        EXPECT_EQ(value.SetDateTime(y, mo, d, h, mi, s), 0);
        return value;
    }
    static inline std::time_t now_ = 0;
    static std::time_t FixedNow() { return now_; }
};

TEST_F(DateTime, DayCountsFrom1899_12_30) {
    EXPECT_DOUBLE_EQ(At(1899, 12, 30, 0, 0, 0).GetDays(), 0.0);
    EXPECT_DOUBLE_EQ(At(1899, 12, 31, 12, 0, 0).GetDays(), 1.5);
    EXPECT_DOUBLE_EQ(At(1899, 12, 29, 6, 0, 0).GetDays(), -1.25) << "before the epoch the fraction counts forward";
    EXPECT_DOUBLE_EQ(At(1970, 1, 1, 0, 0, 0).GetDays(), 25569.0);
    const COleDateTime none = At(1929, 10, 27, 15, 0, 0);
    EXPECT_EQ(none.GetStatus(), COleDateTime::valid);
    EXPECT_DOUBLE_EQ(none.GetDays(), 10893.625);
}

TEST_F(DateTime, ConvertsBackToTheSameFields) {
    for (const COleDateTime& value :
         {At(1899, 12, 29, 6, 0, 0), At(1929, 10, 27, 15, 0, 0), At(2024, 2, 29, 23, 59, 59), At(100, 1, 1, 0, 0, 0),
          At(9999, 12, 31, 23, 59, 59), At(1800, 3, 1, 12, 30, 1)}) {
        std::tm fields{};
        ASSERT_TRUE(value.GetAsTm(fields)) << value.GetDays();
        COleDateTime again;
        again.SetDateTime(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                          fields.tm_sec);
        EXPECT_TRUE(again == value) << value.GetDays() << " came back as " << again.GetDays();
    }
}

TEST_F(DateTime, FieldsOutOfRangeMakeAnInvalidValue) {
    COleDateTime value;
    for (auto fields :
         {std::array{2023, 2, 29, 0, 0, 0}, std::array{2024, 13, 1, 0, 0, 0}, std::array{99, 1, 1, 0, 0, 0},
          std::array{10000, 1, 1, 0, 0, 0}, std::array{2024, 1, 1, 24, 0, 0}, std::array{2024, 1, 1, 0, 60, 0},
          std::array{2024, 1, 1, 0, 0, 60}}) {
        EXPECT_EQ(value.SetDateTime(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]), 1);
        EXPECT_EQ(value.GetStatus(), COleDateTime::invalid);
    }
    EXPECT_FALSE(value == value) << "an invalid date-time equals nothing, not even itself";
}

TEST_F(DateTime, SpansCountAcrossTheEpoch) {
    const COleDateTimeSpan overEpoch = At(1899, 12, 30, 6, 0, 0) - At(1899, 12, 29, 18, 0, 0);
    EXPECT_DOUBLE_EQ(overEpoch.GetTotalDays(), 0.5);
    EXPECT_DOUBLE_EQ((At(1899, 12, 29, 18, 0, 0) - At(1899, 12, 28, 6, 0, 0)).GetTotalDays(), 1.5);
    EXPECT_NEAR((At(2000, 1, 1, 0, 0, 0) - At(2000, 1, 1, 0, 1, 30)).GetTotalDays(), -90.0 / 86400, 1e-9);
    EXPECT_EQ(overEpoch.GetStatus(), COleDateTimeSpan::valid);
    EXPECT_EQ((At(9999, 12, 29, 0, 0, 0) - At(100, 1, 1, 0, 0, 0)).GetStatus(), COleDateTimeSpan::valid);
    EXPECT_EQ((At(9999, 12, 30, 0, 0, 0) - At(100, 1, 1, 0, 0, 0)).GetStatus(), COleDateTimeSpan::invalid);
}

TEST_F(DateTime, NowComesFromTheClockAsLocalTime) {
    COleDateTime::SetClock(FixedNow);
    now_ = 86400 + 3600 + 1;  // 1970-01-02 01:00:01 UTC
    COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(now.GetStatus(), COleDateTime::valid);
    EXPECT_DOUBLE_EQ(now.GetDays(), 25570.0 + 3601.0 / 86400);

    setenv("TZ", "CET-1", 1);  // one hour east: the local wall clock is an hour later
    tzset();
    EXPECT_DOUBLE_EQ(COleDateTime::GetCurrentTime().GetDays(), 25570.0 + 7201.0 / 86400);

    now_ = static_cast<std::time_t>(-1);
    EXPECT_EQ(COleDateTime::GetCurrentTime().GetStatus(), COleDateTime::invalid);
    now_ = static_cast<std::time_t>(400000) * 366 * 86400;  // beyond year 9999
    EXPECT_EQ(COleDateTime::GetCurrentTime().GetStatus(), COleDateTime::invalid);
}

}  // namespace
