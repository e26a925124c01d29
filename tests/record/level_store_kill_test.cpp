// A writer of the record killed with SIGKILL at random moments, a hundred times: after each
// kill the file is whole and holds every minute the writer had seen committed.
#include "tests/support/child_process.h"
#include "tests/support/level_database.h"
#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

using namespace decimon::test;
using namespace std::chrono_literals;

// The minutes a "written FIRST LAST" line acknowledges.
void Acknowledge(const std::string& line, std::set<std::int64_t>& minutes) {
    std::istringstream words(line);
    std::string word;
    std::int64_t first = 0;
    std::int64_t last = -1;
    words >> word >> first >> last;
    ASSERT_EQ(word, "written") << line;
    for (std::int64_t start = first; start <= last; start += 60)
        minutes.insert(start);
}

TEST(RecordCrash, AWriterKilled100TimesLeavesAWholeFileWithEveryCommittedMinute) {
    LevelDatabase database;
    const unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    std::set<std::int64_t> acknowledged;
    for (int kill = 0; kill < 100; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill) + ", seed " + std::to_string(seed));
        ChildProcess writer({DECIMON_LEVEL_WRITER, database.Path().string()});
        const auto first = writer.ReadLine(Scaled(10000ms));
        ASSERT_TRUE(first.has_value()) << "the writer never committed";
        Acknowledge(*first, acknowledged);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        writer.Signal(SIGKILL);
        ASSERT_EQ(writer.WaitExit(Scaled(5000ms)), 128 + SIGKILL);
        while (const auto line = writer.ReadLine(100ms))
            Acknowledge(*line, acknowledged);

        ASSERT_EQ(LevelDatabase::IntegrityCheck(database.Path()), "ok");
        const auto rows = database.AllMinutes();
        ASSERT_TRUE(rows.has_value());
        std::set<std::int64_t> stored;
        for (const MinuteRow& row : *rows)
            stored.insert(row.Start);
        for (std::int64_t start : acknowledged)
            ASSERT_TRUE(stored.count(start)) << "minute " << start << " was committed and is gone";
    }
    for (const auto& entry : std::filesystem::directory_iterator(database.Folder()))
        EXPECT_EQ(entry.path().filename().string().find(".corrupt-"), std::string::npos)
            << "a crash is no damage: " << entry.path();
    EXPECT_GT(acknowledged.size(), 500u);
}

}  // namespace
