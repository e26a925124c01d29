#include "record/minute_aggregator.h"

#include "tests/support/case_name.h"
#include "tests/support/level_database.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using decimon::test::CaseName;
using decimon::test::ExpectMinute;

constexpr std::int64_t Minute = 1764676800;  // 2025-12-02 12:00:00 UTC

struct Poll {
    std::int64_t at;
    const char* host;
    const char* weighting;
    double level;
    std::int32_t interval;
};

// Feeds the polls and then finishes: every minute the aggregator handed out, in order.
std::vector<MinuteRow> Minutes(const std::vector<Poll>& polls) {
    MinuteAggregator aggregator;
    std::vector<MinuteRow> minutes;
    for (const Poll& poll : polls) {
        if (auto ended = aggregator.Add(poll.at, poll.host, poll.weighting, poll.level, poll.interval))
            minutes.push_back(*ended);
    }
    if (auto last = aggregator.Finish())
        minutes.push_back(*last);
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
                      {{"a", Minute, "dBA", 1, 5.0, 80.0, 80.0, 80.0}, {"a", Minute, "dBA", 1, 1.0, 80.0, 80.0, 80.0}}},
        AggregateCase{
            "MinutePolls",
            {{Minute + 30, "a", "dBA", 80.0, 60}, {Minute + 90, "a", "dBA", 80.0, 60}},
            {{"a", Minute, "dBA", 1, 60.0, 80.0, 80.0, 80.0}, {"a", Minute + 60, "dBA", 1, 60.0, 80.0, 80.0, 80.0}}},
        // The weighting of the minute's first poll; the levels as shown, offset and all.
        AggregateCase{"WeightingChange",
                      {{Minute, "a", "---", -5.0, 1}, {Minute + 1, "a", "dBz", 5.0, 1}},
                      {{"a", Minute, "---", 2, 2.0, 2.4, -5.0, 5.0}}}),
    CaseName());

TEST(Aggregator, FinishesOnceAndStartsAfresh) {
    MinuteAggregator aggregator;
    EXPECT_FALSE(aggregator.Finish().has_value());
    EXPECT_FALSE(aggregator.Add(Minute + 3, "a", "dBA", 80.0, 1).has_value());
    EXPECT_TRUE(aggregator.Finish().has_value());
    EXPECT_FALSE(aggregator.Finish().has_value());
    EXPECT_FALSE(aggregator.Add(Minute + 4, "a", "dBA", 90.0, 1).has_value()) << "the minute starts again";
    const auto again = aggregator.Finish();
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(again->Samples, 1);
    EXPECT_EQ(again->Leq, 90.0);
}

struct MergeCase {
    MinuteRow first;
    MinuteRow second;
    MinuteRow merged;
};

class MergeTable : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeTable, AddsTheTwoParts) {
    ExpectMinute(MergeMinutes(GetParam().first, GetParam().second), GetParam().merged, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Parts, MergeTable,
                         ::testing::Values(MergeCase{{"a", Minute, "dBA", 20, 20.0, 80.0, 75.0, 85.0},
                                                     {"a", Minute, "dBA", 20, 20.0, 80.0, 78.0, 82.0},
                                                     {"a", Minute, "dBA", 40, 40.0, 80.0, 75.0, 85.0}},
                                           // Weighted by samples: 30 polls at 90 and 10 at 70.
                                           MergeCase{{"a", Minute, "dBC", 30, 30.0, 90.0, 90.0, 90.0},
                                                     {"a", Minute, "dBA", 10, 10.0, 70.0, 70.0, 70.0},
                                                     {"a", Minute, "dBC", 40, 40.0, 88.76, 70.0, 90.0}},
                                           // A restart within the minute can cover more than it: at most 60 s.
                                           MergeCase{{"a", Minute, "dBA", 40, 40.0, 80.0, 80.0, 80.0},
                                                     {"a", Minute, "dBA", 30, 30.0, 80.0, 80.0, 80.0},
                                                     {"a", Minute, "dBA", 70, 60.0, 80.0, 80.0, 80.0}}));

}  // namespace
