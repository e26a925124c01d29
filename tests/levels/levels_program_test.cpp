// decimon-levels as a site runs it: its exit codes, its output for the example day, a copy on
// a read-only disk, a missing database, an unknown host, an empty range, output that cannot
// be written, and a database that the display is writing at the same time; and the bad
// arguments and unknown hosts of decimon-report beside its own.
#include "levels/levels_csv.h"
#include "record/level_store.h"
#include "tests/levels/record_program.h"
#include "tests/support/case_name.h"
#include "tests/support/child_process.h"
#include "tests/support/level_database.h"
#include "tests/support/private_mounts.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace decimon::test;
using namespace std::chrono_literals;

// The example day's 8 hours as one shift.
const std::string PressEightToFour =
    "2025-11-30,08:00-16:00,press,8:00,8:00,100,85.1,85.1,102.3,88.0,88.0,"
    "2025-11-30T08:00:00+01:00,240,at or above the upper action value,,1,85.1,,,1.5,1.0,,"
    "too few shifts for an uncertainty (1 of 3),ended\r\n";

// A run over the recorded example day: what it prints, or else how many lines.
struct OutputCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string out;  // empty: `lines` lines
    long lines = 0;
    std::string settings{};     // the user's settings file, if any
    const char* err = nullptr;  // a line on standard error that holds this; none when null
    bool readOnlyCopy = false;  // read from a copy on a read-only disk (root only)
};

class LevelsOutput : public LevelsProgram, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(LevelsOutput, PrintsTheRecordAsAsked) {
    const OutputCase& c = GetParam();
    RecordExampleDay();
    if (!c.settings.empty())
        XdgSandbox::WriteFile(xdg_.HomeKeyFile(), c.settings);
    std::vector<std::string> arguments = c.arguments;
    std::optional<PrivateMounts> mounts;
    if (c.readOnlyCopy) {
        mounts.emplace();
        const std::filesystem::path archive = xdg_.Root() / "archive";
        std::filesystem::create_directories(archive);
        std::filesystem::copy_file(xdg_.LevelDatabase(), archive / "levels.sqlite3");
        if (!mounts->Ok() || !mounts->ReadOnly(archive))
            GTEST_SKIP() << "a read-only mount needs root";
        arguments.insert(arguments.end(), {"--database", (archive / "levels.sqlite3").string()});
    }
    const Outcome run = Levels(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    if (c.err) {
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    } else {
        EXPECT_EQ(run.err, "");
    }
    if (!c.out.empty())
        EXPECT_EQ(run.out, c.out);
    else
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, LevelsOutput,
    ::testing::Values(
        OutputCase{"ExampleDayByDay",
                   {"--from", "2025-11-30", "--to", "2025-11-30", "--daily"},
                   "date,host,weighting,measured,leq,lex8h,dose_percent,lmax\r\n"
                   "2025-11-30,\"hall, 3\",dBC,0:01,91.0,61.2,0.4,93.2\r\n"
                   "2025-11-30,press,dBA,8:00,85.1,85.1,101.3,88.0\r\n"},
        OutputCase{"DoseOfTheSettingsShiftLength",
                   {"--from=2025-11-30", "--to=2025-11-30", "--daily", "--host", "press"},
                   "date,host,weighting,measured,leq,lex8h,dose_percent,lmax\r\n"
                   "2025-11-30,press,dBA,8:00,85.1,85.1,67.6,88.0\r\n",
                   0,
                   DecimonFileStart + "\"ShiftLenHours\"=\"12.0\"\n"},
        // Settings it cannot read: the factory shift length, and which it is.
        OutputCase{"DoseOfTheDefaultShiftLength",
                   {"--from=2025-11-30", "--to=2025-11-30", "--daily", "--host", "press"},
                   "date,host,weighting,measured,leq,lex8h,dose_percent,lmax\r\n"
                   "2025-11-30,press,dBA,8:00,85.1,85.1,101.3,88.0\r\n",
                   0,
                   "not a settings file\n",
                   "a shift of 8.0 hours"},
        // The default shifts of 8 h from 06:00: the example day's two parts judged apart, and
        // the other meter's C-weighted half minute not judged.
        OutputCase{
            "ExampleDayByShift",
            {"--from", "2025-11-30", "--to", "2025-11-30", "--shifts"},
            std::string(ShiftCsvHeader) +
                "2025-11-30,06:00-14:00,\"hall, 3\",8:00,0:00,0,,,,,,,0,not judged: no A-weighted minutes,"
                "\"1 min C-weighted, not judged\",0,,,,1.5,1.0,,too few shifts for an uncertainty (0 of 3),ended\r\n"
                "2025-11-30,06:00-14:00,press,8:00,6:00,75,86.3,86.3,134.9,88.0,88.0,2025-11-30T08:00:00+01:00,"
                "240,not judged: 75 % of the shift measured,,0,,,,1.5,1.0,,too few shifts for an uncertainty (0 of 3),"
                "ended\r\n"
                "2025-11-30,14:00-22:00,press,8:00,2:00,25,70.0,70.0,3.2,70.0,70.0,2025-11-30T14:00:00+01:00,0,"
                "not judged: 25 % of the shift measured,,0,,,,1.5,1.0,,too few shifts for an uncertainty (0 of "
                "3),ended\r\n"},
        OutputCase{"ShiftsOfTheSettings",
                   {"--from=2025-11-30", "--to=2025-11-30", "--shifts", "--host", "press"},
                   std::string(ShiftCsvHeader) + PressEightToFour,
                   0,
                   DecimonFileStart + "\"Shifts\"=\"08:00-16:00\"\n"},
        // The command line's shifts: the setting is not even looked at.
        OutputCase{"ShiftsOfTheCommandLine",
                   {"--from=2025-11-30", "--to=2025-11-30", "--host", "press", "--shifts", "08:00-16:00"},
                   std::string(ShiftCsvHeader) + PressEightToFour,
                   0,
                   DecimonFileStart + "\"Shifts\"=\"16:00-08:00,06:00-07:00\"\n"},
        // One judged shift at 85.1 in the week: 85.1 + 10 lg(1/5) = 78.1.
        OutputCase{"WeeklyLevel",
                   {"--from=2025-11-30", "--to=2025-11-30", "--host", "press", "--weeks", "--shifts", "08:00-16:00"},
                   std::string(WeekCsvHeader) + "2025-W48,08:00-16:00,press,1,0,78.1,below the lower action value\r\n"},
        OutputCase{"MeterClassOfAnotherNumber",
                   {"--from=2025-11-30", "--to=2025-11-30", "--host", "press", "--shifts", "08:00-16:00"},
                   std::string(ShiftCsvHeader) + PressEightToFour,
                   0,
                   DecimonFileStart + "\"MeterClass\"=dword:00000003\n",
                   "the setting MeterClass is not a dword of 1 or 2; class not stated"},
        OutputCase{"ShiftLenHoursOutOfRange",
                   {"--from=2025-11-30", "--to=2025-11-30", "--daily", "--host", "press"},
                   "date,host,weighting,measured,leq,lex8h,dose_percent,lmax\r\n"
                   "2025-11-30,press,dBA,8:00,85.1,85.1,101.3,88.0\r\n",
                   0,
                   DecimonFileStart + "\"ShiftLenHours\"=\"0.1\"\n",
                   "the setting ShiftLenHours is not used (\"0.1\" is not a number of hours from 0.5 to 24)"},
        OutputCase{"ShiftsSettingOfAnotherKind",
                   {"--from=2025-11-30", "--to=2025-11-30", "--shifts", "--host", "press"},
                   "",
                   3,
                   DecimonFileStart + "\"Shifts\"=dword:00000008\n",
                   "the setting Shifts is not used (it is not a text"},
        OutputCase{"MinutesOfOneHost",
                   {"--from", "2025-11-30", "--to", "2025-11-30", "--host", "hall, 3"},
                   "start,host,weighting,samples,seconds,leq,lmin,lmax\r\n"
                   "2025-11-30T08:00:00+01:00,\"hall, 3\",dBC,30,30,91.0,90.5,93.2\r\n"},
        // A header and 481 minutes.
        OutputCase{"MinutesOfEveryHost", {"--from", "2025-11-30", "--to", "2025-11-30"}, "", 482},
        // An empty range: the header alone.
        OutputCase{"NoMinutes", {"--from", "2025-11-29", "--to", "2025-11-29"}, MinuteCsvHeader},
        OutputCase{"NoDays", {"--from", "2025-12-01", "--to", "2025-12-02", "--daily"}, DailyCsvHeader},
        // A host of the record without minutes in the period.
        OutputCase{
            "NoMinutesOfTheHost", {"--from", "2025-11-29", "--to", "2025-11-29", "--host", "press"}, MinuteCsvHeader},
        OutputCase{"ReadOnlyCopy",
                   {"--from", "2025-11-30", "--to", "2025-11-30", "--daily", "--host", "press"},
                   "date,host,weighting,measured,leq,lex8h,dose_percent,lmax\r\n"
                   "2025-11-30,press,dBA,8:00,85.1,85.1,101.3,88.0\r\n",
                   0,
                   {},
                   nullptr,
                   true}),
    CaseName());

// Each day judged by the shifts the record kept as in force at its start, not the settings'
// default: 08:00-16:00 from the day before; those noted at 09:00 hold from the next day only.
TEST_F(LevelsProgram, JudgesEachDayByTheShiftsInForceAtItsStart) {
    RecordExampleDay();
    LevelStore store(xdg_.LevelDatabase().string());
    ASSERT_TRUE(store.WriteShiftPattern({BerlinEight - 86400, "08:00-16:00", ""})) << store.Error();
    ASSERT_TRUE(store.WriteShiftPattern({BerlinEight + 3600, "06:00-18:00,18:00-06:00", ""})) << store.Error();
    store.Close();
    EXPECT_EQ(Levels({"--from=2025-11-30", "--to=2025-11-30", "--host", "press", "--shifts"}).out,
              std::string(ShiftCsvHeader) + PressEightToFour);
}

TEST_F(LevelsProgram, DatesDefaultToToday) {
    const std::int64_t now = std::time(nullptr);
    LevelDatabase::Make(xdg_.LevelDatabase(), SteadyMinutes("press", now - now % 60, 1, 80.0));
    const Outcome run = Levels({});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2) << run.out;
}

// A missing record, and a host that it never had (a typo in a cron line): one line, status 1,
// and nothing made.
TEST_F(LevelsProgram, ARecordOrHostThatIsNotThereEndsWithStatusOne) {
    const std::string pdf = (xdg_.Root() / "r.pdf").string();
    const std::string database = xdg_.LevelDatabase().string();
    struct Row {
        bool recorded;
        const char* program;
        std::vector<std::string> arguments;
        std::string err;
    };
    for (const Row& row :
         std::vector<Row>{{false,
                           DECIMON_LEVELS,
                           {"--daily"},
                           "decimon-levels: no levels recorded: there is no database at " + database},
                          {true,
                           DECIMON_LEVELS,
                           {"--host", "nobody"},
                           "decimon-levels: no host \"nobody\" in " + database + "; it holds \"hall, 3\", \"press\""},
                          {true,
                           DECIMON_REPORT,
                           {"--host", "pres", "--output", pdf},
                           "decimon-report: no host \"pres\" in " + database + "; it holds \"hall, 3\", \"press\""}}) {
        if (row.recorded)
            RecordExampleDay();
        const Outcome run = Run(row.program, row.arguments);
        EXPECT_EQ(run.exitCode, 1) << row.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, row.err + "\n");
        EXPECT_TRUE(row.recorded || !std::filesystem::exists(database)) << "a missing record is not made";
    }
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(LevelsProgram, AFailedWriteEndsWithStatusOne) {
    // A day's minute for 400 days: the daily rows are written in one write larger than a buffer.
    std::vector<MinuteRow> rows;
    for (int day = 0; day < 400; ++day)
        rows.push_back({"press", BerlinEight - day * 86400, "dBA", 60, 60.0, 80.0, 80.0, 80.0});
    LevelDatabase::Make(xdg_.LevelDatabase(), rows);
    for (const char* option : {"--daily", "--host=press"}) {
        const Outcome run = Levels({"--from", "2024-01-01", "--to", "2025-12-31", option}, "/dev/full");
        EXPECT_EQ(run.exitCode, 1) << option;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.rfind("decimon-levels: ", 0), 0u) << run.err;
    }
}

// Both answer bad arguments with one line naming what is wrong (then a pointer to --help) and
// status 2, before they read anything.
TEST_F(LevelsProgram, BadArgumentsEndWithStatusTwo) {
    struct Row {
        const char* program;
        std::vector<std::string> arguments;
        const char* err;  // what standard error starts with
    };
    for (const Row& row : std::vector<Row>{
             {DECIMON_LEVELS, {"--weekly"}, "decimon-levels: unknown argument \"--weekly\""},
             {DECIMON_LEVELS, {"--host"}, "decimon-levels: --host wants a value"},
             {DECIMON_LEVELS, {"--daily", "--shifts"}, "decimon-levels: --daily and --shifts exclude each other"},
             {DECIMON_LEVELS, {"--daily", "--daily"}, "decimon-levels: --daily is given twice"},
             {DECIMON_REPORT, {"--from", "30.11.2025", "--output", "r.pdf"}, "decimon-report: --from wants a date"},
             {DECIMON_REPORT, {"--to", "2025-02-30", "--output", "r.pdf"}, "decimon-report: --to wants a date"},
             {DECIMON_REPORT,
              {"--from", "2025-11-30", "--to", "2025-11-01", "--output", "r.pdf"},
              "decimon-report: the range ends (2025-11-01) before it starts (2025-11-30)"},
             {DECIMON_REPORT, {"--from", "2025-11-30"}, "decimon-report: --output FILE.pdf is missing"},
             {DECIMON_REPORT, {"--output"}, "decimon-report: --output wants a value"},
             {DECIMON_REPORT, {"--daily", "--output", "r.pdf"}, "decimon-report: unknown argument \"--daily\""},
             {DECIMON_REPORT,
              {"--shifts", "06:00-14:00,13:00-22:00", "--output", "r.pdf"},
              "decimon-report: --shifts: 06:00-14:00 and 13:00-22:00 overlap"},
             {DECIMON_LEVELS, {"--shifts=22:00"}, "decimon-levels: --shifts: \"22:00\" is not a shift as HH:MM-HH:MM"},
             {DECIMON_LEVELS, {"--shifts="}, "decimon-levels: --shifts: no PATTERN after it"}}) {
        const Outcome run = Run(row.program, row.arguments);
        EXPECT_EQ(run.exitCode, 2) << row.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind(row.err, 0), 0u) << run.err;
        EXPECT_LE(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    }
}

TEST_F(LevelsProgram, ReadsWhileTheDisplayWritesAndHoldsItsLock) {
    RecordExampleDay();
    SqliteDb display;
    ASSERT_TRUE(display.Open(xdg_.LevelDatabase().string(), SQLITE_OPEN_READWRITE, 100));
    ASSERT_TRUE(display.Exec("BEGIN IMMEDIATE"));
    ASSERT_TRUE(display.Exec("INSERT INTO minutes VALUES ('press', 1764514800, 'dBA', 60, 60, 99, 99, 99)"));
    const Outcome run = Levels({"--from", "2025-11-30", "--to", "2025-11-30", "--daily", "--host", "press"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "date,host,weighting,measured,leq,lex8h,dose_percent,lmax\r\n"
                       "2025-11-30,press,dBA,8:00,85.1,85.1,101.3,88.0\r\n")
        << "the committed minutes, without the one under way";
    ASSERT_TRUE(display.Exec("COMMIT"));
}

}  // namespace
