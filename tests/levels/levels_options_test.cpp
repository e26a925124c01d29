#include "levels/levels_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr LocalDate Today{2026, 11, 30};

struct OptionsCase {
    std::vector<std::string> arguments;
    std::optional<LevelsOptions> expected;  // nothing: bad arguments
};

LevelsOptions Options(LocalDate from, LocalDate to, std::optional<std::string> host = std::nullopt, bool daily = false,
                      bool help = false, std::optional<std::string> database = std::nullopt) {
    LevelsOptions options;
    options.From = from;
    options.To = to;
    options.Host = std::move(host);
    options.Database = std::move(database);
    options.Help = help;
    options.Daily = daily;
    return options;
}

class OptionsTable : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsTable, ParsesTheCommandLine) {
    const OptionsCase& c = GetParam();
    const auto parsed = ParseLevelsOptions(c.arguments, Today);
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const LevelsOptions* options = std::get_if<LevelsOptions>(&parsed);
    ASSERT_EQ(options != nullptr, c.expected.has_value());
    if (!options) {
        EXPECT_NE(std::get<std::string>(parsed), "") << "says what is wrong";
        return;
    }
    EXPECT_EQ(options->From, c.expected->From);
    EXPECT_EQ(options->To, c.expected->To);
    EXPECT_EQ(options->Host, c.expected->Host);
    EXPECT_EQ(options->Database, c.expected->Database);
    EXPECT_EQ(options->Daily, c.expected->Daily);
    EXPECT_EQ(options->Help, c.expected->Help);
    EXPECT_EQ(options->Version, c.expected->Version);
}

INSTANTIATE_TEST_SUITE_P(
    Good, OptionsTable,
    ::testing::Values(OptionsCase{{}, Options(Today, Today)},
                      OptionsCase{{"--daily"}, Options(Today, Today, std::nullopt, true)},
                      OptionsCase{{"--from", "2026-11-01"}, Options({2026, 11, 1}, Today)},
                      OptionsCase{{"--from=2026-11-01", "--to=2026-11-02"}, Options({2026, 11, 1}, {2026, 11, 2})},
                      OptionsCase{{"--to", "2026-11-30", "--from", "2026-11-30"}, Options(Today, Today)},
                      OptionsCase{{"--host", "press shop, hall 3", "--daily"},
                                  Options(Today, Today, "press shop, hall 3", true)},
                      OptionsCase{{"--host=127.0.0.1:16161"}, Options(Today, Today, "127.0.0.1:16161")},
                      OptionsCase{{"--help"}, Options(Today, Today, std::nullopt, false, true)},
                      OptionsCase{{"-h"}, Options(Today, Today, std::nullopt, false, true)},
                      OptionsCase{{"--version"},
                                  [] {
                                      LevelsOptions options = Options(Today, Today);
                                      options.Version = true;
                                      return options;
                                  }()},
                      OptionsCase{{"--database=/srv/levels.sqlite3", "--daily"},
                                  Options(Today, Today, std::nullopt, true, false, "/srv/levels.sqlite3")}));

INSTANTIATE_TEST_SUITE_P(
    Bad, OptionsTable,
    ::testing::Values(OptionsCase{{"--from"}, std::nullopt}, OptionsCase{{"--from", "30.11.2026"}, std::nullopt},
                      OptionsCase{{"--to", "2026-02-30"}, std::nullopt},
                      OptionsCase{{"--from", "2026-12-01"}, std::nullopt},  // after today
                      OptionsCase{{"--from", "2026-11-10", "--to", "2026-11-09"}, std::nullopt},
                      OptionsCase{{"--from", "2026-11-01", "--from", "2026-11-02"}, std::nullopt},
                      OptionsCase{{"--host"}, std::nullopt}, OptionsCase{{"--host="}, std::nullopt},
                      OptionsCase{{"--database"}, std::nullopt}, OptionsCase{{"--daily", "--daily"}, std::nullopt},
                      OptionsCase{{"--dailyx"}, std::nullopt}, OptionsCase{{"--fromage", "x"}, std::nullopt},
                      OptionsCase{{"2026-11-30"}, std::nullopt}, OptionsCase{{"-d"}, std::nullopt},
                      OptionsCase{{"--daily", "--shifts"}, std::nullopt},
                      OptionsCase{{"--shifts", "--shifts", "06:00-14:00"}, std::nullopt},
                      OptionsCase{{"--shifts=", "--shifts="}, std::nullopt},
                      OptionsCase{{"--weeks", "--daily"}, std::nullopt}));

}  // namespace
