// A save cut short by a power cut or a kill: a child saves one of two full records in a loop
// and is killed with SIGKILL at random moments. The file must then hold exactly one of the
// two records, with mode 0600, every time.
#include "config/settings_store.h"
#include "platform/sys/fixed_text.h"
#include "tests/support/xdg_sandbox.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <thread>

using namespace decimon::test;

namespace {

// Every field in one text, so that two records compare as a whole.
std::string Fingerprint(const Settings& s) {
    std::string text = std::to_string(s.ShiftLenHours) + "|" + std::to_string(s.LevelOffset) + "|" +
                       std::to_string(s.PollingInterval) + "|" + std::to_string(s.DisplayWarning) + "|" +
                       std::to_string(s.SnmpTimeout) + "|" + std::to_string(s.SnmpRetries) + "|" + s.Password + "|" +
                       s.WarningMessage + "|" + s.HostName;
    for (const auto& entry : s.Recent)
        text += std::string("|") + entry;
    return text;
}

// A record with every field set, long texts included, marked by `mark`.
Settings FullRecord(char mark, double hours) {
    Settings s;
    SetFactoryDefaults(s);
    s.ShiftLenHours = hours;
    s.LevelOffset = mark == 'a' ? -5 : 7;
    s.PollingInterval = mark == 'a' ? 2 : 60;
    s.DisplayWarning = mark == 'a' ? 0 : 1;
    s.SnmpTimeout = mark == 'a' ? 300 : 9000;
    s.SnmpRetries = mark == 'a' ? 0 : 4;
    CopyFixedText(s.Password, std::string(100, mark));
    CopyFixedText(s.WarningMessage, std::string(500, mark) + "\r\n" + std::string(500, mark));
    CopyFixedText(s.HostName, std::string("meter-") + mark);
    for (std::size_t i = 0; i < RecentCount; ++i)
        CopyFixedText(s.Recent[i], std::string(120, mark) + std::to_string(i));
    return s;
}

TEST(SettingsCrashTest, AKilledSaveLeavesOneWholeRecord) {
    constexpr int Kills = 200;
    XdgSandbox sandbox;
    const Settings first = FullRecord('a', 7.5);
    const Settings second = FullRecord('b', 12.0);
    SettingsStore::SaveSettings(first);

    std::mt19937 random(12);
    std::uniform_int_distribution<int> microseconds(0, 20000);
    int loadedFirst = 0;
    int loadedSecond = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned n = 0;; ++n)
                SettingsStore::SaveSettings(n % 2 ? first : second);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        Settings loaded;
        std::memset(&loaded, 'x', sizeof loaded);
        SettingsStore::LoadSettings(loaded);
        const std::string found = Fingerprint(loaded);
        loadedFirst += found == Fingerprint(first);
        loadedSecond += found == Fingerprint(second);
        ASSERT_TRUE(found == Fingerprint(first) || found == Fingerprint(second)) << "after kill " << kill;
        ASSERT_EQ(XdgSandbox::Mode(sandbox.HomeKeyFile()), 0600u) << "after kill " << kill;
    }
    // Saves cut short leave no litter: the key file and at most one temporary.
    const auto folder = sandbox.HomeKeyFile().parent_path();
    EXPECT_LE(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
    // Both records were seen: the kills fell at different points of the loop.
    EXPECT_GT(loadedFirst, 0);
    EXPECT_GT(loadedSecond, 0);
}

}  // namespace
