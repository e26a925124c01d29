#pragma once
// The record's command-line readers run as a site runs them, on a private record and settings
// in Berlin's time zone: decimon-levels and decimon-report as child processes.
#include "tests/support/child_process.h"
#include "tests/support/level_database.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace decimon::test {

using namespace std::chrono_literals;

struct Outcome {
    std::optional<int> exitCode;
    std::string out;
    std::string err;
};

class LevelsProgram : public ::testing::Test {
protected:
    // Runs the program, its standard output read by the test, or when `output` is given,
    // written to that file.
    Outcome Levels(const std::vector<std::string>& arguments, const char* output = nullptr) {
        return Run(DECIMON_LEVELS, arguments, output);
    }
    Outcome Report(const std::vector<std::string>& arguments) { return Run(DECIMON_REPORT, arguments); }
    Outcome Run(const char* program, const std::vector<std::string>& arguments, const char* output = nullptr) {
        std::vector<std::string> argv = {program};
        if (output)
            argv = {"/bin/sh", "-c", std::string("exec \"$0\" \"$@\" >") + output, program};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        ChildProcess child(argv, ChildProcess::Stderr::Capture,
                           std::vector<std::string>{"TZ=Europe/Berlin", "HOME=/nonexistent",
                                                    "XDG_DATA_HOME=" + xdg_.DataHome().string(),
                                                    "XDG_CONFIG_HOME=" + xdg_.Home().string(),
                                                    "XDG_CONFIG_DIRS=" + xdg_.SystemDir(0).string()});
        Outcome run;
        while (const auto line = child.ReadLine(Scaled(10000ms)))
            run.out += *line + "\n";
        run.err = child.ReadStderr(Scaled(10000ms));
        run.exitCode = child.WaitExit(Scaled(10000ms));
        return run;
    }

    // The example day in the display's database, and a minute of another host.
    void RecordExampleDay() {
        std::vector<MinuteRow> rows = ExampleDay();
        rows.push_back({"hall, 3", BerlinEight, "dBC", 30, 30.0, 91.0, 90.5, 93.25});
        LevelDatabase::Make(xdg_.LevelDatabase(), rows);
    }

    XdgSandbox xdg_;
};

}  // namespace decimon::test
