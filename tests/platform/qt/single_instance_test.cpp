// One running copy per user and screen: the lock decides, the holder comes forward when a
// later start asks, and neither a dead holder's socket nor a silent holder blocks a start.
#include "platform/qt/single_instance.h"

#include "tests/support/qt_wait.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

using namespace decimon::test;
using namespace std::chrono_literals;
using Role = SingleInstance::Role;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    std::string RuntimeDir() const { return runtime_.path().toStdString(); }
    std::string SocketPath() const { return RuntimeDir() + "/decimon-" + kKey + ".socket"; }

    // A later start in a process of its own, as far as the holder can tell: it decides on
    // another thread while this one runs the holder's event loop.
    Role DecideElsewhere(std::chrono::milliseconds patience, const std::string& key = kKey) const {
        std::future<Role> role = std::async(std::launch::async, [this, patience, key] {
            SingleInstance later(RuntimeDir(), key);
            return later.Decide(patience);
        });
        WaitUntil([&] { return role.wait_for(0s) == std::future_status::ready; }, Scaled(10s), ProcessEvents);
        return role.get();
    }

    static constexpr const char* kKey = ":0";
    QTemporaryDir runtime_;
};

TEST_F(SingleInstanceTest, ALaterStartAsksTheHolderOfItsScreenToComeForward) {
    SingleInstance first(RuntimeDir(), kKey);
    ASSERT_EQ(first.Decide(2s), Role::First);
    EXPECT_TRUE(first.Trouble().isEmpty()) << first.Trouble().toStdString();
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(SocketPath()).permissions() & (perms::group_all | perms::others_all), perms::none)
        << "the socket is the user's alone";
    QSignalSpy asked(&first, &SingleInstance::ComeForwardRequested);
    EXPECT_EQ(DecideElsewhere(Scaled(2s)), Role::Second);
    EXPECT_EQ(asked.count(), 1);
    EXPECT_EQ(DecideElsewhere(Scaled(2s)), Role::Second) << "the holder goes on listening";
    EXPECT_EQ(asked.count(), 2);
    EXPECT_EQ(DecideElsewhere(Scaled(2s), "wayland-0"), Role::First) << "each screen has its own holder";
    EXPECT_EQ(asked.count(), 2);
}

TEST_F(SingleInstanceTest, AnythingButTheRequestIsNotAnswered) {
    SingleInstance first(RuntimeDir(), kKey);
    ASSERT_EQ(first.Decide(2s), Role::First);
    QSignalSpy asked(&first, &SingleInstance::ComeForwardRequested);
    for (const QByteArray& junk : {QByteArray("raise\n"), QByteArray(200, 'x')}) {
        QLocalSocket stranger;
        stranger.connectToServer(QString::fromStdString(SocketPath()));
        ASSERT_TRUE(stranger.waitForConnected(1000));
        stranger.write(junk);
        stranger.flush();
        EXPECT_TRUE(WaitUntil([&] { return stranger.state() == QLocalSocket::UnconnectedState; }, Scaled(2s),
                              [&] {
                                  ProcessEvents();
                                  stranger.waitForDisconnected(5);
                              }))
            << "the holder hangs up";
        EXPECT_TRUE(stranger.readAll().isEmpty());
    }
    EXPECT_EQ(asked.count(), 0);
}

// A holder that hangs (its event loop does not run here) never answers: the later start gives
// up when its patience ends, and says it was not answered.
TEST_F(SingleInstanceTest, AHolderThatDoesNotAnswerHoldsALaterStartNoLongerThanItsPatience) {
    SingleInstance first(RuntimeDir(), kKey);
    ASSERT_EQ(first.Decide(2s), Role::First);
    SingleInstance later(RuntimeDir(), kKey);
    EXPECT_EQ(later.Decide(300ms), Role::SecondUnanswered);
}

// A holder that crashed left its socket file behind; the lock, free again, decides.
TEST_F(SingleInstanceTest, ADeadHoldersSocketFileDoesNotDecide) {
    const int dead = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, SocketPath().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(dead, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(dead);

    SingleInstance first(RuntimeDir(), kKey);
    ASSERT_EQ(first.Decide(2s), Role::First);
    EXPECT_TRUE(first.Trouble().isEmpty()) << first.Trouble().toStdString();
    EXPECT_EQ(DecideElsewhere(Scaled(2s)), Role::Second);
}

// A holder on its way out (the lock still held, the socket gone) leaves the screen to the
// later start once it has ended.
TEST_F(SingleInstanceTest, AHolderThatEndsLeavesTheScreenToTheLaterStart) {
    auto ending = std::make_unique<InstanceLock>(RuntimeDir() + "/decimon-" + kKey + ".lock");
    ASSERT_EQ(ending->GetState(), InstanceLock::State::Held);
    std::thread end([&] {
        std::this_thread::sleep_for(200ms);
        ending.reset();
    });
    const Role role = DecideElsewhere(Scaled(5s));
    end.join();
    EXPECT_EQ(role, Role::First);
}

// A runtime folder too deep for a socket's address: the lock still decides, and the holder says
// why no later start can reach it; a later start is left unanswered.
TEST_F(SingleInstanceTest, AHolderThatCannotListenStaysFirstAndSaysWhy) {
    const std::string deep = RuntimeDir() + "/" + std::string(100, 'd');
    ASSERT_TRUE(std::filesystem::create_directory(deep));
    SingleInstance first(deep, kKey);
    EXPECT_EQ(first.Decide(2s), Role::First);
    EXPECT_TRUE(first.Trouble().startsWith("cannot listen at " + QString::fromStdString(deep)))
        << first.Trouble().toStdString();
    SingleInstance later(deep, kKey);
    EXPECT_EQ(later.Decide(200ms), Role::SecondUnanswered);
}

TEST_F(SingleInstanceTest, WithoutAPlaceForTheLockTheProgramRunsUnguardedAndSaysWhy) {
    const struct {
        const char* what;
        std::string runtimeDir;
        const char* trouble;
    } cases[] = {
        {"no runtime folder", "", "XDG_RUNTIME_DIR"},
        {"a runtime folder that is not there", RuntimeDir() + "/gone", "/gone/decimon-:0.lock"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SingleInstance instance(c.runtimeDir, kKey);
        EXPECT_EQ(instance.Decide(2s), Role::Unguarded);
        EXPECT_TRUE(instance.Trouble().contains(c.trouble)) << instance.Trouble().toStdString();
    }
}

}  // namespace
