// The instance lock: one holder per file, a file left behind is no holder, and the screen's key.
#include "platform/sys/instance_lock.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

TEST(ScreenKeyTest, NamesTheScreenTheProgramShowsOn) {
    const struct {
        const char* wayland;
        const char* x;
        std::string key;
    } cases[] = {
        {nullptr, ":0", ":0"},
        {nullptr, ":0.0", ":0"},  // the screen number is not part of the server's name
        {nullptr, "unix:0.1", ":0"},
        {nullptr, "localhost:10.0", "localhost:10"},
        {"", ":3", ":3"},
        {"wayland-0", ":0", "wayland-0"},  // an X client on Wayland shows on the Wayland screen
        {"/run/user/1000/wayland-1", nullptr, "_run_user_1000_wayland-1"},
        {nullptr, "../host name:0", ".._host_name:0"},
        {nullptr, nullptr, "console"},
        {"", "", "console"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.wayland ? c.wayland : "(unset)") + " / " + (c.x ? c.x : "(unset)"));
        EXPECT_EQ(ScreenKey(c.wayland, c.x), c.key);
    }
}

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "decimon-lock-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path() const { return (dir_ / "decimon-:0.lock").string(); }

    std::filesystem::path dir_;
};

TEST_F(InstanceLockTest, OneHolderAtATimeAndTheNextOnceItIsGone) {
    auto first = std::make_unique<InstanceLock>(Path());
    EXPECT_EQ(first->GetState(), InstanceLock::State::Held);
    InstanceLock second(Path());
    EXPECT_EQ(second.GetState(), InstanceLock::State::HeldElsewhere);
    EXPECT_EQ(second.TryLock(), InstanceLock::State::HeldElsewhere);
    first.reset();
    EXPECT_EQ(second.TryLock(), InstanceLock::State::Held);
    EXPECT_EQ(InstanceLock(Path()).GetState(), InstanceLock::State::HeldElsewhere);
}

TEST_F(InstanceLockTest, AFileLeftBehindIsNoHolder) {
    std::ofstream(Path()) << "12345\n";
    EXPECT_EQ(InstanceLock(Path()).GetState(), InstanceLock::State::Held);
    EXPECT_TRUE(std::filesystem::exists(Path())) << "the file stays for the next holder";
}

TEST_F(InstanceLockTest, AFileThatCannotBeMadeSaysWhy) {
    const std::string path = (dir_ / "missing-folder" / "decimon-:0.lock").string();
    InstanceLock lock(path);
    EXPECT_EQ(lock.GetState(), InstanceLock::State::Failed);
    EXPECT_NE(lock.Trouble().find(path), std::string::npos) << lock.Trouble();
    EXPECT_EQ(lock.TryLock(), InstanceLock::State::Failed);
}

}  // namespace
