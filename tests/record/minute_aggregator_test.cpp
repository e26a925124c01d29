#include "record/minute_aggregator.h"

#include "exposure/level_math.h"
#include "tests/support/case_name.h"
#include "tests/support/exposure_of.h"
#include "tests/support/level_database.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using decimon::test::CaseName;
using decimon::test::ExpectMinute;
using decimon::test::ExposureOf;

constexpr std::int64_t Minute = 1764676800;  // 2025-12-02 12:00:00 UTC

struct Poll {
    std::int64_t at;
    const char* host;
    const char* weighting;
    double level;
    std::int32_t interval;
    double overrun = 0.0;  // seconds its level stood beyond its span (the poll took that much longer)
};

void Append(std::vector<MinuteRow>& minutes, const std::vector<MinuteRow>& ended) {
    minutes.insert(minutes.end(), ended.begin(), ended.end());
}

// Feeds the polls and then finishes: every minute the aggregator handed out, in order.
std::vector<MinuteRow> Minutes(const std::vector<Poll>& polls) {
    MinuteAggregator aggregator;
    std::vector<MinuteRow> minutes;
    for (const Poll& poll : polls) {
        Append(minutes, aggregator.Add(poll.at, poll.host, poll.weighting, poll.level, poll.interval));
        aggregator.Extend(poll.overrun);
    }
    Append(minutes, aggregator.Finish());
    return minutes;
}

struct AggregateCase {
    const char* name;
    std::vector<Poll> polls;
    std::vector<MinuteRow> minutes;  // levels compared to 0.01 dB
};

class AggregateTable : public ::testing::TestWithParam<AggregateCase> {};

TEST_P(AggregateTable, SumsPollsIntoMinutes) {
    const std::vector<MinuteRow> got = Minutes(GetParam().polls);
    const std::vector<MinuteRow>& expected = GetParam().minutes;
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE("minute " + std::to_string(i));
        ExpectMinute(got[i], expected[i], 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Polls, AggregateTable,
    ::testing::Values(
        AggregateCase{
            "OneMinute",
            {{Minute, "a", "dBA", 80.0, 1}, {Minute + 1, "a", "dBA", 90.0, 1}, {Minute + 59, "a", "dBA", 85.0, 1}},
            {{"a", Minute, "dBA", 3, 3.0, 86.74, 80.0, 90.0}}},
        // The first poll of the next minute ends the minute; the poll starts the next one.
        AggregateCase{
            "MinuteBoundary",
            {{Minute + 58, "a", "dBA", 80.0, 1}, {Minute + 60, "a", "dBA", 70.0, 1}},
            {{"a", Minute, "dBA", 1, 1.0, 80.0, 80.0, 80.0}, {"a", Minute + 60, "dBA", 1, 1.0, 70.0, 70.0, 70.0}}},
        // Minutes without polls (the meter silent) are gaps: no row at all.
        AggregateCase{
            "SilentMinutes",
            {{Minute + 10, "a", "dBA", 80.0, 1}, {Minute + 250, "a", "dBA", 81.0, 1}},
            {{"a", Minute, "dBA", 1, 1.0, 80.0, 80.0, 80.0}, {"a", Minute + 240, "dBA", 1, 1.0, 81.0, 81.0, 81.0}}},
        AggregateCase{"NewHost",
                      {{Minute + 1, "a", "dBA", 80.0, 1}, {Minute + 2, "b", "dBC", 70.0, 1}},
                      {{"a", Minute, "dBA", 1, 1.0, 80.0, 80.0, 80.0}, {"b", Minute, "dBC", 1, 1.0, 70.0, 70.0, 70.0}}},
        // Five-second polls: 12 cover the minute, a 13th (a late tick) does not add to it.
        AggregateCase{
            "FiveSecondPolls",
            {{Minute, "a", "dBA", 80.0, 5}, {Minute + 5, "a", "dBA", 80.0, 5}, {Minute + 10, "a", "dBA", 80.0, 5}},
            {{"a", Minute, "dBA", 3, 15.0, 80.0, 80.0, 80.0}}},
        AggregateCase{"IntervalChange",
                      {{Minute, "a", "dBA", 80.0, 5}, {Minute + 30, "a", "dBA", 80.0, 1}},
                      {{"a", Minute, "dBA", 2, 6.0, 80.0, 80.0, 80.0}}},
        // Each poll's minute is split at the turn: the second half goes to the next minute,
        // which at the end holds time but no poll.
        AggregateCase{"MinutePolls",
                      {{Minute + 30, "a", "dBA", 80.0, 60}, {Minute + 90, "a", "dBA", 80.0, 60}},
                      {{"a", Minute, "dBA", 1, 30.0, 80.0, 80.0, 80.0},
                       {"a", Minute + 60, "dBA", 1, 60.0, 80.0, 80.0, 80.0},
                       {"a", Minute + 120, "dBA", 0, 30.0, 80.0, 80.0, 80.0}}},
        // 45 s polls hold 2, 1, 1 polls in three minutes and cover all 180 s; each minute's Leq
        // is weighted by the seconds each level stood for.
        AggregateCase{"FortyFiveSecondPolls",
                      {{Minute, "a", "dBA", 80.0, 45},
                       {Minute + 45, "a", "dBA", 90.0, 45},
                       {Minute + 90, "a", "dBA", 80.0, 45},
                       {Minute + 135, "a", "dBA", 80.0, 45}},
                      {{"a", Minute, "dBA", 2, 60.0, 85.12, 80.0, 90.0},
                       {"a", Minute + 60, "dBA", 1, 60.0, 87.40, 80.0, 90.0},
                       {"a", Minute + 120, "dBA", 1, 60.0, 80.0, 80.0, 80.0}}},
        AggregateCase{
            "SpanPastTheTurn",
            {{Minute + 58, "a", "dBC", 95.0, 5}},
            {{"a", Minute, "dBC", 1, 2.0, 95.0, 95.0, 95.0}, {"a", Minute + 60, "dBC", 0, 3.0, 95.0, 95.0, 95.0}}},
        // Spans that overlap (an early tick) never make a minute longer than 60 s.
        AggregateCase{
            "OverlappingSpans",
            {{Minute, "a", "dBA", 80.0, 60}, {Minute + 30, "a", "dBA", 80.0, 60}},
            {{"a", Minute, "dBA", 2, 60.0, 80.0, 80.0, 80.0}, {"a", Minute + 60, "dBA", 0, 30.0, 80.0, 80.0, 80.0}}},
        // The clock set back: the minutes under way end, the earlier one starts again.
        AggregateCase{
            "ClockSetBack",
            {{Minute + 70, "a", "dBA", 80.0, 1}, {Minute + 10, "a", "dBA", 70.0, 1}},
            {{"a", Minute + 60, "dBA", 1, 1.0, 80.0, 80.0, 80.0}, {"a", Minute, "dBA", 1, 1.0, 70.0, 70.0, 70.0}}},
        // A slow meter: polls that took 1.5 s and 2.5 s at a 1 s interval stand that long, split at the
        // turn; the time beyond the span adds no poll to the minute it reaches.
        AggregateCase{
            "OverrunningPolls",
            {{Minute + 57, "a", "dBA", 80.0, 1, 0.5}, {Minute + 58, "a", "dBA", 90.0, 1, 1.5}},
            {{"a", Minute, "dBA", 2, 3.5, 87.88, 80.0, 90.0}, {"a", Minute + 60, "dBA", 0, 0.5, 90.0, 90.0, 90.0}}},
        // The weighting of the minute's first poll; the levels as shown, offset and all.
        AggregateCase{"WeightingChange",
                      {{Minute, "a", "---", -5.0, 1}, {Minute + 1, "a", "dBz", 5.0, 1}},
                      {{"a", Minute, "---", 2, 2.0, 2.4, -5.0, 5.0}}}),
    CaseName());

TEST(Aggregator, FinishesOnceAndStartsAfresh) {
    MinuteAggregator aggregator;
    EXPECT_TRUE(aggregator.Finish().empty());
    EXPECT_TRUE(aggregator.Add(Minute + 3, "a", "dBA", 80.0, 1).empty());
    EXPECT_EQ(aggregator.Finish().size(), 1u);
    EXPECT_TRUE(aggregator.Finish().empty());
    EXPECT_TRUE(aggregator.Add(Minute + 4, "a", "dBA", 90.0, 1).empty()) << "the minute starts again";
    const std::vector<MinuteRow> again = aggregator.Finish();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].Samples, 1);
    EXPECT_EQ(again[0].Leq, 90.0);
}

// A steady 85 dB polled for a whole 8 h shift at each interval the settings allow: the record
// covers polls x interval seconds and comes to a dose of 100 %, as the time to the limit.
class SteadyShift : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(SteadyShift, ComesToAFullDose) {
    const std::int32_t interval = GetParam();
    MinuteAggregator aggregator;
    std::vector<MinuteRow> minutes;
    std::int64_t polls = 0;
    for (std::int64_t at = Minute; at < Minute + 8 * 3600; at += interval, ++polls)
        Append(minutes, aggregator.Add(at, "a", "dBA", 85.0, interval));
    Append(minutes, aggregator.Finish());
    double seconds = 0.0;
    for (const MinuteRow& minute : minutes) {
        EXPECT_LE(minute.Seconds, 60.0);
        seconds += minute.Seconds;
    }
    EXPECT_EQ(seconds, static_cast<double>(polls * interval));
    EXPECT_NEAR(ExposureOf(minutes, 8.0)->DosePercent, 100.0, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Intervals, SteadyShift, ::testing::Range(1, 61));

struct MergeCase {
    MinuteRow stored;
    MinuteRow arriving;
    MinuteRow kept;
    bool measuredTwice = false;
    bool sameRun = true;
};

class MergeTable : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeTable, JoinsTwoPartsAndKeepsTheLouderOfAMinuteMeasuredTwice) {
    const KeptMinute kept = KeepMinute(GetParam().stored, GetParam().arriving, GetParam().sameRun);
    ExpectMinute(kept.Row, GetParam().kept, 0.01);
    EXPECT_EQ(kept.MeasuredTwice, GetParam().measuredTwice);
}

INSTANTIATE_TEST_SUITE_P(Parts, MergeTable,
                         ::testing::Values(MergeCase{{"a", Minute, "dBA", 20, 20.0, 80.0, 75.0, 85.0},
                                                     {"a", Minute, "dBA", 20, 20.0, 80.0, 78.0, 82.0},
                                                     {"a", Minute, "dBA", 40, 40.0, 80.0, 75.0, 85.0}},
                                           // Weighted by seconds: 30 s at 90 and 10 s at 70.
                                           MergeCase{{"a", Minute, "dBC", 30, 30.0, 90.0, 90.0, 90.0},
                                                     {"a", Minute, "dBA", 30, 30.0, 70.0, 70.0, 70.0},
                                                     {"a", Minute, "dBC", 60, 60.0, 87.03, 70.0, 90.0}},
                                           // Measured twice, the clock an hour behind: 90 dB over
                                           // 59 s stays as it is, not 87.0 over 60 s.
                                           MergeCase{{"a", Minute, "dBA", 59, 59.0, 90.0, 90.0, 90.0},
                                                     {"a", Minute, "dBA", 60, 60.0, 70.0, 70.0, 70.0},
                                                     {"a", Minute, "dBA", 59, 59.0, 90.0, 90.0, 90.0},
                                                     true},
                                           // At the same level, the longer one.
                                           MergeCase{{"a", Minute, "dBA", 30, 30.0, 80.0, 80.0, 80.0},
                                                     {"a", Minute, "dBA", 40, 40.0, 80.0, 80.0, 80.0},
                                                     {"a", Minute, "dBA", 40, 40.0, 80.0, 80.0, 80.0},
                                                     true},
                                           // Parts of another run, 55 s together: the louder
                                           // whole, not 55 s at 90.61.
                                           MergeCase{{"a", Minute, "dBA", 20, 20.0, 95.0, 95.0, 95.0},
                                                     {"a", Minute, "dBA", 35, 35.0, 90.0, 90.0, 90.0},
                                                     {"a", Minute, "dBA", 20, 20.0, 95.0, 95.0, 95.0},
                                                     true,
                                                     false}));

}  // namespace
