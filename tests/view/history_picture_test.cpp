// What the history picture shows, worked out from minutes of the record: the window, the
// figures' texts, the chart's scale and its local hour marks. Local times in Central European
// time, numbers as in the "C" locale also under a German one.
#include "chart/history_picture.h"

#include "tests/support/case_name.h"
#include "tests/support/level_database.h"
#include "tests/support/process_locale.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace decimon::test;

namespace {

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC, 13:00 in Central Europe
constexpr std::int64_t Minute = 60;

struct WindowCase {
    double shiftLenHours;
    int minutes;
};

class HistoryWindows : public ::testing::TestWithParam<WindowCase> {};

TEST_P(HistoryWindows, EndWithTheCurrentMinuteAndHoldTheShiftsMinutes) {
    const HistoryWindow window = HistoryWindowAt(Noon + 30, GetParam().shiftLenHours);
    EXPECT_EQ(window.Minutes, GetParam().minutes);
    EXPECT_EQ(window.To, Noon + Minute) << "the current minute is in the window";
    EXPECT_EQ(window.From, Noon + Minute - Minute * GetParam().minutes);
}

INSTANTIATE_TEST_SUITE_P(Shifts, HistoryWindows,
                         ::testing::Values(WindowCase{8.0, 480}, WindowCase{7.5, 450}, WindowCase{7.3, 438},
                                           WindowCase{24.0, 1440}, WindowCase{0.0, 1}, WindowCase{-3.0, 1},
                                           WindowCase{std::numeric_limits<double>::quiet_NaN(), 1},
                                           WindowCase{1.0e12, MaxHistoryMinutes}));

class Picture : public ::testing::Test {
protected:
    // Minutes from the window's start on: `count` at `level`, after `skip` minutes.
    void Add(int skip, int count, double level, const std::string& weighting = "dBA") {
        const auto rows = SteadyMinutes("press", window_.From + Minute * (next_ + skip), count, level, weighting);
        record_.Rows.insert(record_.Rows.end(), rows.begin(), rows.end());
        next_ += skip + count;
    }
    // With the shift under way at 13:00:30: 06:00-14:00, from 05:00 UTC.
    HistoryPicture Make() const {
        return MakeHistoryPicture(window_, "press", record_, ShiftAt(ShiftPattern::Default(8.0), Noon + 30));
    }

    TimeZone zone_{CentralEuropeanZone};
    HistoryWindow window_ = HistoryWindowAt(Noon + 30, 8.0);  // 04:01 to 12:01 UTC
    HistoryRecord record_;
    int next_ = 0;
};

TEST_F(Picture, FourHoursLoudFourHoursQuiet) {
    Add(0, 240, 88.0);
    Add(0, 240, 70.0);
    const HistoryPicture picture = Make();
    // The shift's part: 181 minutes at 88, 240 at 70; 100 x (181/480 x 10^0.3 + 240/480 x 10^-1.5).
    EXPECT_EQ(picture.Figures, (std::vector<std::string>{"Shift 06:00-14:00", "Measured 7h 1m of 8h 0m",
                                                         "LAeq so far 84.4 dB(A)", "Dose used so far 77 %"}));
    EXPECT_EQ(picture.Minutes.size(), 480u);
    EXPECT_EQ(picture.Host, "press");
    EXPECT_TRUE(picture.Reason.empty());
}

TEST_F(Picture, AGapAndTheLoudestMinuteAtItsLocalTime) {
    Add(0, 100, 88.0);
    Add(48, 92, 88.0);  // 48 minutes without a record
    Add(0, 101, 70.0);
    Add(0, 1, 96.4);  // 341 minutes after 05:01
    Add(0, 138, 70.0);
    const HistoryPicture picture = Make();
    EXPECT_EQ(picture.Figures, (std::vector<std::string>{"Shift 06:00-14:00", "Measured 6h 13m of 8h 0m",
                                                         "LAeq so far 83.9 dB(A)", "Dose used so far 60 %"}));
    EXPECT_EQ(picture.Minutes.size(), 432u) << "the gap stays a gap";
}

TEST_F(Picture, CWeightedMinutesApartAndNoShiftBetweenShifts) {
    Add(300, 120, 95.0, "dBC");
    EXPECT_EQ(Make().Figures,
              (std::vector<std::string>{"Shift 06:00-14:00", "Measured 0h 0m of 8h 0m",
                                        "LAeq so far: no A-weighted minutes", "120 min C-weighted, not judged"}));
    const auto gap = ShiftAt(std::get<ShiftPattern>(ShiftPattern::Parse("06:00-12:00")), Noon + 30);
    EXPECT_EQ(MakeHistoryPicture(window_, "press", record_, gap).Figures,
              std::vector<std::string>{"No shift under way"});
}

TEST_F(Picture, MinutesThatAreNoNumbersAreLeftOut) {
    Add(59, 1, std::numeric_limits<double>::infinity());  // at the shift's start
    Add(0, 1, std::numeric_limits<double>::quiet_NaN());
    Add(0, 1, 85.0);
    const HistoryPicture picture = Make();
    ASSERT_EQ(picture.Minutes.size(), 1u);
    EXPECT_EQ(picture.Figures[1], "Measured 0h 1m of 8h 0m");
    EXPECT_EQ(picture.Figures[2], "LAeq so far 85.0 dB(A)");
}

// Four hours at 88 dB(A) from 05:01, then four at 70, read at 13:00:30: the shift of 06:00-12:00
// by hand, 181 minutes at 88 and 179 at 70 of 6 h: LAeq = 10 lg((181 x 10^8.8 + 179 x 10^7.0)
// / 360) = 85.08, LEX,8h = 85.08 + 10 lg(6 / 8) = 83.83, printed 83.8, dose of the printed figure
// = 100 x 10^((83.8 - 85) / 10) = 75.9 %.
struct KeptCase {
    const char* name;
    const char* shifts;
    std::vector<std::string> figures;
};

class KeptShifts : public Picture, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(KeptShifts, TheShiftThatJustEndedAsTheReportPrintsIt) {
    Add(0, 240, 88.0);
    Add(0, 240, 70.0);
    const ShiftPattern pattern = std::get<ShiftPattern>(ShiftPattern::Parse(GetParam().shifts));
    const std::optional<ShiftWindow> shift = ShiftAt(pattern, Noon + 30);
    EXPECT_EQ(MakeHistoryPicture(window_, "press", record_, shift, KeptShift(pattern, Noon + 30, shift)).Figures,
              GetParam().figures);
}

INSTANTIATE_TEST_SUITE_P(Shifts, KeptShifts,
                         ::testing::Values(KeptCase{"BetweenShifts",
                                                    "06:00-12:00",
                                                    {"Shift 06:00-12:00 ended:", "LEX,8h 83.8 dB(A), dose 75.9 %",
                                                     "No shift under way"}},
                                           KeptCase{"TenMinutesIntoTheNext",
                                                    "06:00-12:00,12:50-20:00",
                                                    {"Shift 06:00-12:00 ended:", "LEX,8h 83.8 dB(A), dose 75.9 %",
                                                     "Shift 12:50-20:00", "Measured 0h 11m of 7h 10m"}},
                                           KeptCase{"TwentyMinutesIntoTheNext",
                                                    "06:00-12:00,12:40-20:00",
                                                    {"Shift 12:40-20:00", "Measured 0h 21m of 7h 20m",
                                                     "LAeq so far 70.0 dB(A)", "Dose used so far 0 %"}}),
                         CaseName());

struct EmptyCase {
    double shiftLenHours;
    const char* text;
};

class EmptyPicture : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyPicture, SaysSoWithTheShiftsHoursInTheCLocale) {
    const ProcessLocale german(GermanLocale);
    ASSERT_TRUE(german.Active()) << GermanLocale << " is not generated";
    const HistoryPicture picture =
        MakeHistoryPicture(HistoryWindowAt(Noon, GetParam().shiftLenHours), "press", HistoryRecord{});
    EXPECT_EQ(picture.Figures, std::vector<std::string>{GetParam().text});
    EXPECT_TRUE(picture.Minutes.empty());
    EXPECT_EQ(picture.ScaleLow, 60);
    EXPECT_EQ(picture.ScaleHigh, 100);
}

INSTANTIATE_TEST_SUITE_P(Shifts, EmptyPicture,
                         ::testing::Values(EmptyCase{8.0, "No levels recorded in the last 8.0 h"},
                                           EmptyCase{7.5, "No levels recorded in the last 7.5 h"},
                                           EmptyCase{24.0, "No levels recorded in the last 24.0 h"}));

TEST(HistoryPictureFigures, UnreadableRecordGivesTheEmptyTextAndTheReason) {
    const HistoryRecord locked{false, "database is locked", {}};
    const HistoryPicture picture = MakeHistoryPicture(HistoryWindowAt(Noon, 8.0), "press", locked);
    EXPECT_EQ(picture.Figures, std::vector<std::string>{"No levels recorded in the last 8.0 h"});
    EXPECT_EQ(picture.Reason, "The record cannot be read: database is locked");
}

struct ScaleCase {
    std::vector<double> levels;
    int low, high;
};

class Scales : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(Scales, HoldTheDataAndTheCriterionInTens) {
    HistoryRecord record;
    std::int64_t start = Noon - 600;
    for (double level : GetParam().levels)
        record.Rows.push_back({"press", start += Minute, "dBA", 60, 60.0, level, level, level});
    const HistoryPicture picture = MakeHistoryPicture(HistoryWindowAt(Noon, 1.0), "press", record);
    EXPECT_EQ(picture.ScaleLow, GetParam().low);
    EXPECT_EQ(picture.ScaleHigh, GetParam().high);
}

INSTANTIATE_TEST_SUITE_P(Levels, Scales,
                         ::testing::Values(ScaleCase{{70.0, 88.0}, 60, 100}, ScaleCase{{31.0, 60.0}, 20, 100},
                                           ScaleCase{{64.9, 80.0}, 50, 100}, ScaleCase{{90.0, 112.0}, 60, 120},
                                           ScaleCase{{-3.5}, -10, 100}, ScaleCase{{1.0e300}, 60, 250},
                                           ScaleCase{{-1.0e300}, -100, 100}));

struct HourCase {
    const char* name;
    std::int64_t from, to;
    std::vector<std::string> labels;
    const char* zone = CentralEuropeanZone;
};

class HourMarks : public ::testing::TestWithParam<HourCase> {};

TEST_P(HourMarks, AtLocalFullHours) {
    const TimeZone zone(GetParam().zone);
    std::vector<std::string> labels;
    for (const HourMark& mark : LocalHourMarks(GetParam().from, GetParam().to)) {
        labels.push_back(mark.Label);
        EXPECT_EQ(mark.Hour, std::stoi(mark.Label.substr(0, 2)));
    }
    EXPECT_EQ(labels, GetParam().labels);
}

constexpr std::int64_t SpringChangeDay = 1743292800;  // 2025-03-30 00:00 UTC, 01:00 local; 03:00 at 01:00 UTC
// 2026-04-05 00:30 on Lord Howe Island (+11:00), whose clocks go back half an hour at 02:00.
constexpr std::int64_t LordHoweHalfPastMidnight = 1775309400;

INSTANTIATE_TEST_SUITE_P(Windows, HourMarks,
                         ::testing::Values(HourCase{"Winter", Noon - 5400, Noon + 3600, {"12:00", "13:00", "14:00"}},
                                           HourCase{"StartOnTheHour", Noon, Noon + 60, {"13:00"}},
                                           HourCase{"SummerTimeBegins",
                                                    SpringChangeDay - 1800,
                                                    SpringChangeDay + 3 * 3600,
                                                    {"01:00", "03:00", "04:00", "05:00"}},
                                           HourCase{"WithinAnHour", Noon + 60, Noon + 3000, {}},
                                           HourCase{"HalfHourBack",
                                                    LordHoweHalfPastMidnight,
                                                    LordHoweHalfPastMidnight + 4 * 3600,
                                                    {"01:00", "02:00", "03:00", "04:00"},
                                                    "Australia/Lord_Howe"}),
                         CaseName());

}  // namespace
