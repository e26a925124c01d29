// The application's command line, its start-up sequence, its failures, and the About box.
#include "app/kelda_app.h"

#include "app/main_frame.h"
#include "config/settings_store.h"
#include "platform/qt/message_box.h"
#include "platform/sys/fixed_text.h"
#include "res/app_resources.h"
#include "tests/support/child_process.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/modal_answer.h"
#include "tests/support/qt_wait.h"
#include "tests/support/wait_until.h"
#include "tests/support/xdg_sandbox.h"
#include "view/child_view.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace decimon::test;
using namespace std::chrono_literals;

namespace {

// An X display (:6150) that takes connections and never answers: the abstract socket that
// libxcb tries first.
struct SilentXDisplay {
    SilentXDisplay() {
        const sockaddr_un address{AF_UNIX, "\0/tmp/.X11-unix/X6150"};
        EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), offsetof(sockaddr_un, sun_path) + 21), 0);
        EXPECT_EQ(::listen(fd, 8), 0);
    }
    ~SilentXDisplay() { ::close(fd); }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
};

// The program itself, with nothing to show a window on (no DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM, or a DISPLAY without a server, or one that never answers): --help and
// --version answer at once, and so do the tools beside it, in one manner; a bad argument is one
// line naming it and a pointer to --help, after Qt's own options too; and a start without a
// display is one line and status 1, not Qt's abort nor a hang.
TEST(CommandLine, AnswersWithoutADisplay) {
    const SilentXDisplay silent;
    struct Case {
        std::vector<std::string> command;
        int status;
        std::string text;  // with status 0, how standard output starts; else all of standard error
        std::vector<std::string> environment = {};
    };
    const auto refused = [](const std::string& program, const std::string& why) {
        return program + ": " + why + "\nTry '" + program + " --help'.\n";
    };
    std::vector<Case> cases = {
        {{DECIMON_PROGRAM, "-platform", "offscreen", "--full"}, 2, refused("decimon", "unknown argument \"--full\"")},
        {{DECIMON_PROGRAM, "-style", "Fusion", "-x"}, 2, refused("decimon", "unknown argument \"-x\"")},
        {{DECIMON_PROGRAM, "-style"}, 2, refused("decimon", "-style wants a value")},
        {{DECIMON_LEVELS, "--from", "2026-13-01"},
         2,
         refused("decimon-levels", "--from wants a date as YYYY-MM-DD, not \"2026-13-01\"")},
        {{DECIMON_REPORT, "--daily"}, 2, refused("decimon-report", "unknown argument \"--daily\"")},
        {{DECIMON_METER_SIM, "--port", "0", "-x"}, 2, refused("decimon-meter-sim", "unknown argument \"-x\"")},
        {{DECIMON_PROGRAM}, 1, "decimon: no display to show on: neither DISPLAY nor WAYLAND_DISPLAY is set\n"},
        {{DECIMON_PROGRAM, "-platform", "xcb"}, 1, "decimon: cannot open the display: could not connect to display \n"},
        {{DECIMON_PROGRAM}, 1, "decimon: no display to show on: DISPLAY is not set\n", {"QT_QPA_PLATFORM=xcb"}},
        {{DECIMON_PROGRAM},
         1,
         "decimon: cannot open the display: could not connect to display :9999\n",
         {"DISPLAY=:9999"}},
        {{DECIMON_PROGRAM, "-x"}, 2, refused("decimon", "unknown argument \"-x\""), {"DISPLAY=:9999"}},
        {{DECIMON_PROGRAM, "-display", ":9999"},
         1,
         "decimon: cannot open the display: could not connect to display :9999\n"},
        {{DECIMON_PROGRAM},
         1,
         "decimon: cannot open the display: no answer from the display server within 15 s\n",
         {"DISPLAY=:6150"}},
    };
    for (const char* program : {DECIMON_PROGRAM, DECIMON_LEVELS, DECIMON_REPORT, DECIMON_METER_SIM}) {
        const std::string name = std::filesystem::path(program).filename();
        for (const char* help : {"-h", "--help"})
            cases.push_back({{program, help}, 0, "usage: " + name + " "});
        cases.push_back({{program, "--version"}, 0, name + " " + DECIMON_VERSION + "\n"});
    }
    for (const Case& c : cases) {
        std::vector<std::string> environment = {"HOME=/nonexistent"};
        environment.insert(environment.end(), c.environment.begin(), c.environment.end());
        SCOPED_TRACE(::testing::PrintToString(c.command) + ::testing::PrintToString(environment));
        ChildProcess program(c.command, ChildProcess::Stderr::Capture, environment);
        std::string out;
        while (const auto line = program.ReadLine(Scaled(20000ms)))  // the silent display's 15 s
            out += *line + "\n";
        const std::string err = program.ReadStderr(Scaled(5000ms));
        EXPECT_EQ(program.WaitExit(Scaled(5000ms)), c.status) << err;
        EXPECT_EQ(c.status == 0 ? out.substr(0, c.text.size()) : err, c.text);
        EXPECT_EQ(c.status == 0 ? err : out, "");
    }
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        SaveMeterSettings(sim_.Agent());
        SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            boxes_.push_back(request);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxHandler({}); }

    // Platform steps that record the order they ran in and fail as told.
    CkeldaApp::PlatformSteps Steps(bool socketsWork, bool oleWorks) {
        return {[this, socketsWork] {
                    steps_.push_back("sockets");
                    return socketsWork;
                },
                [this, oleWorks] {
                    steps_.push_back("ole");
                    return oleWorks;
                }};
    }

    XdgSandbox xdg_;
    MeterSimProcess sim_;
    std::vector<MessageBoxRequest> boxes_;
    std::vector<std::string> steps_;
};

TEST_F(StartUp, ShowsTheFrameFullScreen) {
    CkeldaApp app(Steps(true, true));
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(steps_, (std::vector<std::string>{"sockets", "ole"}));
    ASSERT_NE(app.MainWindow(), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(app.MainWindow()->isVisible());
    EXPECT_TRUE(app.MainWindow()->IsFullScreen());
    EXPECT_TRUE(boxes_.empty());
}

// A failing step shows its message, ends the start-up there and makes no frame.
TEST_F(StartUp, AFailingPlatformStepShowsItsMessageAndStops) {
    const struct {
        bool socketsWork;
        std::vector<std::string> stepsRun;
        const char* message;
    } cases[] = {
        {false, {"sockets"}, "Windows sockets initialization failed."},
        {true,
         {"sockets", "ole"},
         "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        steps_.clear();
        boxes_.clear();
        CkeldaApp app(Steps(c.socketsWork, false));
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(steps_, c.stepsRun);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, c.message);
        EXPECT_EQ(boxes_[0].caption, "Decimon");
        EXPECT_EQ(boxes_[0].type, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(app.MainWindow(), nullptr);
    }
}

TEST_F(StartUp, TheAboutBoxNamesTheProgramAndItsVersion) {
    CkeldaApp app(Steps(true, true));
    ASSERT_TRUE(app.InitInstance());
    QString caption;
    QStringList texts;
    bool okClicked = false;
    ModalAnswer answer([&](QWidget* about) {
        caption = about->windowTitle();
        for (const QLabel* label : about->findChildren<QLabel*>())
            texts << label->text();
        for (QPushButton* button : about->findChildren<QPushButton*>()) {
            if (button->text() == "OK" && button->isDefault()) {
                button->click();
                okClicked = true;
            }
        }
    });
    app.OnCmdMsg(ID_APP_ABOUT);
    EXPECT_TRUE(okClicked) << "no modal About box appeared, or it had no default OK button";
    EXPECT_EQ(caption, "About Decimon");
    EXPECT_TRUE(texts.contains("Decimon Version 1.2"));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& t) { return t.contains("Corvanta"); }));
}

TEST_F(StartUp, ExitClosesTheFrameAndStopsTheWorker) {
    CkeldaApp app(Steps(true, true));
    ASSERT_TRUE(app.InitInstance());
    QApplication::processEvents();
    EXPECT_TRUE(app.OnCmdMsg(ID_APP_EXIT));
    EXPECT_FALSE(app.MainWindow()->isVisible());
    EXPECT_FALSE(app.MainWindow()->View().HasWorker());
}

// A log-out, a supervisor or `kill` ends the program the way File > Exit does.
TEST_F(StartUp, EndSignalsCloseTheFrameAndStopTheWorkerAsExitDoes) {
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(number));
        CkeldaApp app(Steps(true, true));
        ASSERT_TRUE(app.InitInstance());
        QApplication::processEvents();
        ASSERT_EQ(std::raise(number), 0);
        EXPECT_TRUE(
            WaitUntil([&] { return !app.MainWindow()->isVisible(); }, Scaled(std::chrono::seconds(2)), ProcessEvents));
        EXPECT_FALSE(app.MainWindow()->View().HasWorker());
    }
}

}  // namespace
