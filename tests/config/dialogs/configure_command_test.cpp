// The Configure command on a running monitor whose meter is the simulator: the password
// gate, and what an OK of the configuration dialog saves and applies. Dialogs are answered
// from inside their modal loops; message boxes by the test.
#include "config/dialogs/configure_command.h"

#include "config/dialogs/auth_dlg.h"
#include "config/dialogs/config_dlg.h"
#include "config/settings_store.h"
#include "monitor/meter_monitor.h"
#include "platform/qt/message_box.h"
#include "platform/sys/fixed_text.h"
#include "res/dialog_ids.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/modal_answer.h"
#include "tests/support/xdg_sandbox.h"
#include "view/child_view.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace decimon::test;

namespace {

using DialogAction = std::function<void(CConfigDlg&)>;

void Click(CDialog& dialog, int id) {
    QTest::mouseClick(dialog.GetDlgItem(id), Qt::LeftButton);
}

const DialogAction Cancel = [](CConfigDlg& dialog) { Click(dialog, IDCANCEL); };

// Runs `command`, answering the password dialog with `password` (null: Cancel) and then
// the configuration dialog with `act`. Answers the names of the dialogs that opened.
std::vector<QString> RunAnswered(const std::function<void()>& command, const char* password, const DialogAction& act) {
    std::vector<QString> opened;
    std::unique_ptr<ModalAnswer> next;
    std::function<void(QWidget*)> answer = [&](QWidget* modal) {
        opened.push_back(modal->objectName());
        if (auto* auth = qobject_cast<CAuthDlg*>(modal)) {
            EXPECT_EQ(qobject_cast<QLineEdit*>(auth->GetDlgItem(IDC_AUTH_PASSWORD))->echoMode(), QLineEdit::Normal);
            next = std::make_unique<ModalAnswer>(answer);  // for the configuration dialog, if it opens
            if (!password)
                return Click(*auth, IDCANCEL);
            QTest::keyClicks(auth->GetDlgItem(IDC_AUTH_PASSWORD), password);
            Click(*auth, IDOK);
        } else if (auto* config = qobject_cast<CConfigDlg*>(modal)) {
            act(*config);
        }
    };
    ModalAnswer first(answer);
    command();
    return opened;
}

bool SameSettings(const Settings& a, const Settings& b) {
    const auto text = [](const auto& field) { return std::string(FixedTextView(field)); };
    bool same = a.ShiftLenHours == b.ShiftLenHours && a.LevelOffset == b.LevelOffset &&
                a.PollingInterval == b.PollingInterval && a.DisplayWarning == b.DisplayWarning &&
                a.SnmpTimeout == b.SnmpTimeout && a.SnmpRetries == b.SnmpRetries &&
                text(a.Password) == text(b.Password) && text(a.WarningMessage) == text(b.WarningMessage) &&
                text(a.HostName) == text(b.HostName);
    for (std::size_t entry = 0; entry < RecentCount; ++entry)
        same = same && text(a.Recent[entry]) == text(b.Recent[entry]);
    return same;
}

class FakePollTimer : public PollTimerControl {
public:
    void KillPollTimer() override { calls.push_back("kill"); }
    bool InPollTimerTick() const override { return false; }
    void SetPollTimer(int milliseconds) override { calls.push_back("set " + std::to_string(milliseconds)); }

    std::vector<std::string> calls;
};

class ConfigureCommand : public ::testing::Test {
protected:
    void SetUp() override {
        previousHandler_ = SetMessageBoxHandler([this](const MessageBoxRequest& box) {
            boxes_.push_back(box.caption + ": " + box.text);
            lastBox_ = box;
            timerCallsAtBox_ = timer_.calls;
            return IDYES;
        });
        sim_.Set("level", "integer", "853");
    }
    void TearDown() override {
        monitor_.reset();
        SetMessageBoxHandler(previousHandler_);
    }

    // A monitor on the simulator, after one poll when `poll` is set.
    void Start(const char* password, bool poll) {
        SaveMeterSettings(sim_.Agent(), [&](Settings& s) {
            s.SnmpTimeout = 100;
            s.SnmpRetries = 0;
            CopyFixedText(s.Password, password);
        });
        monitor_ = std::make_unique<MeterMonitor>();
        if (!poll)
            return;
        ASSERT_TRUE(monitor_->StartWorker());
        monitor_->RequestFirstConnection();
        monitor_->RequestPoll();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !monitor_->PollPending(); }, 5000));
        ASSERT_EQ(monitor_->CopyForPainting().CurrentLevel, 85.3);
    }

    std::vector<QString> Run(const char* password, const DialogAction& act) {
        return RunAnswered([&] { RunConfigureCommand(&owner_, *monitor_, timer_); }, password, act);
    }

    XdgSandbox xdg_;
    MeterSimProcess sim_;
    std::unique_ptr<MeterMonitor> monitor_;
    QWidget owner_;
    FakePollTimer timer_;
    std::vector<std::string> boxes_;
    MessageBoxRequest lastBox_;
    std::vector<std::string> timerCallsAtBox_;
    MessageBoxHandler previousHandler_;
};

TEST_F(ConfigureCommand, ThePasswordGateLetsOneExactAttemptThrough) {
    const struct {
        const char* stored;
        const char* typed;  // null: Cancel
        std::vector<QString> opened;
        std::vector<std::string> boxes;
    } cases[] = {
        {"", nullptr, {"CConfigDlg"}, {}},
        {"Secret", "Secret", {"CAuthDlg", "CConfigDlg"}, {}},
        {"Secret", "secret", {"CAuthDlg"}, {"Error: Invalid password"}},
        {"Secret", "", {"CAuthDlg"}, {"Error: Invalid password"}},
        {"Secret", nullptr, {"CAuthDlg"}, {}},
    };
    for (const auto& c : cases) {
        boxes_.clear();
        Start(c.stored, false);
        EXPECT_EQ(Run(c.typed, Cancel), c.opened) << c.stored << " / " << (c.typed ? c.typed : "Cancel");
        EXPECT_EQ(boxes_, c.boxes);
    }
    EXPECT_TRUE(timer_.calls.empty());
}

TEST_F(ConfigureCommand, OkSavesAndAppliesAHostOrPollingChangeAtOnce) {
    const struct {
        const char* what;
        DialogAction edit;
        bool reconnects;
        bool zeroesCounters;
    } cases[] = {
        {"nothing", [](CConfigDlg&) {}, false, false},
        {"shift", [](CConfigDlg& d) { d.SetDlgItemText(IDC_CFG_SHIFT, "7.5"); }, false, false},
        {"polling", [](CConfigDlg& d) { d.SetDlgItemText(IDC_CFG_POLLING, "10"); }, true, false},
        {"retries", [](CConfigDlg& d) { d.SetDlgItemText(IDC_CFG_RETRIES, "3"); }, true, false},
        {"host",
         [](CConfigDlg& d) {
             Click(d, IDC_CFG_NEW);
             d.SetDlgItemText(IDC_CFG_HOST, "127.0.0.1:9");
             Click(d, IDC_CFG_ADD);
         },
         true, true},
    };
    for (const auto& c : cases) {
        Start("", true);
        timer_.calls.clear();
        std::filesystem::remove(xdg_.HomeKeyFile());
        Settings wanted{};
        Run(nullptr, [&](CConfigDlg& dialog) {
            c.edit(dialog);
            Click(dialog, IDOK);
            wanted = dialog.CopyOut();
        });
        Settings saved{};
        SettingsStore::LoadSettings(saved);
        EXPECT_TRUE(SameSettings(saved, wanted)) << c.what << ": saved whole, changed or not";
        EXPECT_TRUE(SameSettings(monitor_->CurrentSettings(), wanted)) << c.what;
        EXPECT_EQ(XdgSandbox::Mode(xdg_.HomeKeyFile()), 0600u) << c.what;
        const std::vector<std::string> timerCalls =
            c.reconnects ? std::vector<std::string>{"kill", "set 1"} : std::vector<std::string>{};
        EXPECT_EQ(timer_.calls, timerCalls) << c.what;
        const PaintCopy shown = monitor_->CopyForPainting();
        EXPECT_EQ(shown.CurrentLevel, c.reconnects ? -1.0 : 85.3) << c.what;
        EXPECT_STREQ(shown.WeightingText, c.reconnects ? "---" : "dBA") << c.what;
        EXPECT_EQ(monitor_->CopyForDiagnostics().PollCount, c.zeroesCounters ? 0 : 1) << c.what;
    }
}

// The save is told as failed (here by a full disk), after the new settings have been taken
// over and applied.
TEST_F(ConfigureCommand, AFailedSaveIsToldAndTheNewSettingsRunAnyway) {
    Start("", true);
    timer_.calls.clear();
    const std::string before = XdgSandbox::ReadFile(xdg_.HomeKeyFile());
    Settings wanted{};
    {
        const FileSizeLimit full(100);
        Run(nullptr, [&](CConfigDlg& dialog) {
            dialog.SetDlgItemText(IDC_CFG_POLLING, "10");
            Click(dialog, IDOK);
            wanted = dialog.CopyOut();
        });
    }
    EXPECT_EQ(boxes_, std::vector<std::string>{"Error: The settings could not be saved: File too large"});
    EXPECT_EQ(lastBox_.type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(lastBox_.owner, &owner_);
    EXPECT_EQ(timerCallsAtBox_, (std::vector<std::string>{"kill", "set 1"})) << "applied before the box";
    EXPECT_TRUE(SameSettings(monitor_->CurrentSettings(), wanted));
    EXPECT_EQ(monitor_->CurrentSettings().PollingInterval, 10);
    EXPECT_EQ(XdgSandbox::ReadFile(xdg_.HomeKeyFile()), before);
}

// A settings file that is there but cannot be read may hold a password: the command opens
// nothing, each time, and nothing is written over the file; the display runs on the defaults.
TEST_F(ConfigureCommand, AnUnreadableSettingsFileLocksTheConfiguration) {
    const std::string text = "REGEDIT\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n\"Password\"=\"secret\"\n";
    XdgSandbox::WriteFile(xdg_.HomeKeyFile(), text);
    monitor_ = std::make_unique<MeterMonitor>();
    const DialogAction ok = [](CConfigDlg& dialog) { Click(dialog, IDOK); };
    EXPECT_TRUE(Run("secret", ok).empty()) << "no dialog opens";
    EXPECT_TRUE(Run(nullptr, ok).empty()) << "not the second time either";

    const std::string told = "Error: The settings file " + xdg_.HomeKeyFile().string() +
                             " cannot be read (its first line is not REGEDIT4); the configuration stays locked "
                             "until it is repaired.";
    EXPECT_EQ(boxes_, std::vector<std::string>(2, told));
    EXPECT_EQ(lastBox_.type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(lastBox_.owner, &owner_);
    EXPECT_STREQ(monitor_->CurrentSettings().HostName, DefaultHostName);
    EXPECT_EQ(XdgSandbox::ReadFile(xdg_.HomeKeyFile()), text);
    EXPECT_TRUE(timer_.calls.empty());
}

// A Password on a broken line is one that no entry matches: the gate asks and says why.
TEST_F(ConfigureCommand, APasswordOnABrokenLineOpensToNoEntry) {
    XdgSandbox::WriteFile(xdg_.HomeKeyFile(), DecimonFileStart + "\"Password\"=\"secret\n");
    monitor_ = std::make_unique<MeterMonitor>();
    EXPECT_EQ(Run("secret", Cancel), std::vector<QString>{"CAuthDlg"});
    EXPECT_EQ(boxes_,
              std::vector<std::string>{"Error: No password opens the configuration: Password is named on line "
                                       "4 of the settings file " +
                                       xdg_.HomeKeyFile().string() + ", which cannot be read. Repair the file."});
    EXPECT_EQ(Run(nullptr, Cancel), std::vector<QString>{"CAuthDlg"}) << "Cancel: no box";
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(ConfigureCommand, RestoreThenCancelChangesNothing) {
    Start("", false);
    const std::string before = XdgSandbox::ReadFile(xdg_.HomeKeyFile());
    const std::string host(FixedTextView(monitor_->CurrentSettings().HostName));
    Run(nullptr, [](CConfigDlg& dialog) {
        Click(dialog, IDC_CFG_RESTORE);
        EXPECT_EQ(dialog.ListBox(IDC_CFG_HOST_LIST).GetCount(), 1);
        Click(dialog, IDCANCEL);
    });
    ASSERT_EQ(boxes_.size(), 1u) << "the restore question was asked";
    EXPECT_EQ(XdgSandbox::ReadFile(xdg_.HomeKeyFile()), before);
    EXPECT_EQ(FixedTextView(monitor_->CurrentSettings().HostName), host);
    EXPECT_TRUE(timer_.calls.empty());
}

// The whole road on the view: its poll timer waits a minute, so only the command's 1 ms
// tick can bring the new meter to the screen in time.
TEST(ConfigureOnTheView, ANewHostShowsItsMeterWithinTwoSeconds) {
    XdgSandbox xdg;
    MeterSimProcess first;
    MeterSimProcess second;
    first.Set("name", "octetstring", "First meter");
    second.Set("name", "octetstring", "Second meter");
    SaveMeterSettings(first.Agent(), [](Settings& s) {
        s.SnmpTimeout = 100;
        s.SnmpRetries = 0;
        s.PollingInterval = 60;
    });
    CChildView view;
    view.resize(800, 600);
    view.show();
    const auto footerIs = [&](const char* name) {
        return std::string_view(view.CopyForPainting().FooterText).starts_with(name);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return footerIs("First meter"); }, 5000));

    QElapsedTimer clock;
    RunAnswered([&] { view.OnConfigure(); }, nullptr,
                [&](CConfigDlg& dialog) {
                    Click(dialog, IDC_CFG_NEW);
                    dialog.SetDlgItemText(IDC_CFG_HOST, second.Agent().c_str());
                    Click(dialog, IDC_CFG_ADD);
                    clock.start();
                    Click(dialog, IDOK);
                });
    EXPECT_TRUE(QTest::qWaitFor([&] { return footerIs("Second meter"); }, 2000));
    RecordProperty("new_meter_shown_ms", static_cast<int>(clock.elapsed()));
    EXPECT_EQ(view.CopyForDiagnostics().PollCount, 1) << "counters start again for the new host";
}

}  // namespace
