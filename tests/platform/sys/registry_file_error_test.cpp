// The registry on a key file without read permission (for a user other than root), and what a
// save does to the folder it writes in and to a FIFO at its temporary's name.

#include "platform/sys/registry.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"

using namespace decimon::test;

namespace {

namespace fs = std::filesystem;

// Creates the key, sets one value and closes it: what the close answers.
LONG SaveOneValue() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, DecimonKey, 0, "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return -1;
    const BYTE text[] = "new";
    RegSetValueExA(key, "HostName", 0, REG_SZ, text, sizeof text);
    return RegCloseKey(key);
}

// Runs `check` in a child process, as the user nobody when this process is root (permission
// bits do not stop root); nullopt when the child had not ended after five seconds.
std::optional<bool> PassesInChild(const std::function<bool()>& check, bool asNobody = false) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = !asNobody || ::getuid() != 0 ||
                             (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    const bool ended = WaitUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; });
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return std::nullopt;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class RegistryFileTest : public ::testing::Test {
protected:
    XdgSandbox sandbox_;
};

TEST_F(RegistryFileTest, AFileWithoutReadPermissionSaysWhy) {
    XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), DecimonFileStart);
    fs::permissions(sandbox_.HomeKeyFile(), fs::perms::none);
    fs::permissions(sandbox_.Root(), fs::perms::owner_all | fs::perms::others_exec);
    for (const fs::path& folder : {sandbox_.Home(), sandbox_.HomeKeyFile().parent_path()})
        fs::permissions(folder, fs::perms::others_exec, fs::perm_options::add);
    const auto denied = [&] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DecimonKey, 0, KEY_QUERY_VALUE, &key) != ERROR_ACCESS_DENIED)
            return false;
        const RegFileError error = RegGetLastFileError();
        return error.file == sandbox_.HomeKeyFile().string() && error.reason == "Permission denied";
    };
    EXPECT_EQ(PassesInChild(denied, true), true);
}

TEST_F(RegistryFileTest, ASaveTakesGroupAndOthersRightsFromItsFolder) {
    const fs::path folder = sandbox_.HomeKeyFile().parent_path();
    const struct {
        unsigned before;
        unsigned after;
    } cases[] = {{0755, 0700}, {0750, 0700}, {0711, 0700}, {0700, 0700}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        fs::create_directories(folder);
        ::chmod(folder.c_str(), c.before);
        EXPECT_EQ(SaveOneValue(), ERROR_SUCCESS);
        EXPECT_EQ(XdgSandbox::Mode(folder), c.after);
        EXPECT_EQ(XdgSandbox::Mode(sandbox_.HomeKeyFile()), 0600u);
    }
}

// Without a reader, opening a FIFO to write would wait for one for ever.
TEST_F(RegistryFileTest, AFifoAtTheTemporarysNameCannotHoldTheSave) {
    const std::string old = DecimonFileStart + "\"HostName\"=\"old\"\n";
    XdgSandbox::WriteFile(sandbox_.HomeKeyFile(), old);
    const std::string temporary = sandbox_.HomeKeyFile().string() + ".new";
    ASSERT_EQ(::mkfifo(temporary.c_str(), 0600), 0);
    const auto refused = [&] { return SaveOneValue() == ERROR_CANTWRITE && RegGetLastFileError().file == temporary; };
    EXPECT_EQ(PassesInChild(refused), true) << "nullopt: the save waited on the FIFO";
    EXPECT_EQ(XdgSandbox::ReadFile(sandbox_.HomeKeyFile()), old);
}

}  // namespace
