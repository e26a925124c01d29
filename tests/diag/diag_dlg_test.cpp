// The diagnostics dialog inside a stand-in view, on a real monitor whose settings live in a
// private folder. The monitor's worker is never started: nothing touches the network.
#include "diag/diag_dlg.h"
#include "diag/diag_format.h"
#include "monitor/meter_monitor.h"
#include "platform/sys/fixed_text.h"
#include "res/dialog_ids.h"
#include "tests/support/fake_clocks.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/qt_wait.h"
#include "tests/support/xdg_sandbox.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>

using namespace decimon::test;
using namespace std::chrono_literals;

namespace {

constexpr double Second = 1.0 / 86400.0;

// What the worker records at a failed level read: the time on both clocks.
void RecordError(DiagnosticsCopy& copy) {
    copy.LastErrorTime = COleDateTime::GetCurrentTime();
    copy.LastErrorSteadyTime = SteadyClock::Now();
}

// A view with a sunken edge, shown and active, with the dialog created on it as the
// view's first paint does, and the clocks under the test's control.
class DiagnosticsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        monitor_ = std::make_unique<MeterMonitor>();
        view_.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        view_.setLineWidth(2);
        view_.setFocusPolicy(Qt::StrongFocus);
        view_.resize(800, 600);
        view_.show();
        view_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
        dialog_ = std::make_unique<CDiagDlg>(&view_, monitor_.get());
        ASSERT_TRUE(dialog_->Create(&view_));
        view_.setFocus();
    }

    void TearDown() override { dialog_.reset(); }

    // What the view's poll-timer tick does with the statistics and the up-time.
    void Refresh(const DiagnosticsCopy& copy, const COleDateTimeSpan& upTime) {
        dialog_->TakeStatistics(copy, upTime);
        dialog_->RefreshDisplay();
    }
    // The view's tick with `copy`: the up-time measured up to now.
    void Tick(const DiagnosticsCopy& copy) { Refresh(copy, SteadyClock::SpanSince(copy.StartSteadyTime)); }
    // The tick itself, copying under the lock.
    void Tick() { Tick(monitor_->CopyForDiagnostics()); }

    std::string Text(int id) const {
        char buffer[300];
        dialog_->GetDlgItemText(id, buffer, sizeof buffer);
        return buffer;
    }

    QWidget* Caption() const { return dialog_->findChild<QWidget*>(QStringLiteral("DialogCaption")); }

    // Drags the caption by `offset` in one move of the mouse.
    void DragCaption(QPoint offset) {
        QWidget* caption = Caption();
        const QPoint grab(20, caption->height() / 2);
        const QPoint global = caption->mapToGlobal(grab);
        const auto send = [&](QEvent::Type type, QPoint moved, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, grab + moved, global + moved, button, held, Qt::NoModifier);
            QApplication::sendEvent(caption, &event);
        };
        send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, offset, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, offset, Qt::LeftButton, Qt::NoButton);
    }

    FakeClocks clocks_;   // 2023-11-14 22:13:20 UTC, local time UTC
    XdgSandbox sandbox_;  // before the monitor, which loads its settings from there
    std::unique_ptr<MeterMonitor> monitor_;
    QFrame view_;
    std::unique_ptr<CDiagDlg> dialog_;
};

DiagnosticsCopy Statistics(std::int32_t polls, std::int32_t errors, std::int32_t reconnects, std::int32_t consecutive) {
    DiagnosticsCopy copy;
    copy.PollCount = polls;
    copy.ErrorCount = errors;
    copy.ReconnectCount = reconnects;
    copy.ConsecutiveErrors = consecutive;
    CopyFixedText(copy.SysName, "meter-7");
    CopyFixedText(copy.SysLocation, "Hall \xC4");
    copy.StartTime = COleDateTime::GetCurrentTime();
    copy.StartSteadyTime = SteadyClock::Now();
    copy.LastErrorTime = NoErrorTime();
    return copy;
}

QLabel* Label(const CDiagDlg& dialog, const QString& text) {
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    const auto found = std::find_if(labels.begin(), labels.end(), [&](QLabel* label) { return label->text() == text; });
    return found == labels.end() ? nullptr : *found;
}

}  // namespace

TEST_F(DiagnosticsDialog, StartsHiddenInTheViewsTopLeftCornerWithItsConstructorValues) {
    EXPECT_FALSE(dialog_->IsWindowVisible());
    EXPECT_FALSE(dialog_->isWindow());
    EXPECT_EQ(dialog_->parentWidget(), &view_);
    EXPECT_EQ(dialog_->pos(), view_.contentsRect().topLeft());
    EXPECT_EQ(dialog_->PollCount, 0);
    EXPECT_STREQ(dialog_->SysName, "---");
    EXPECT_STREQ(dialog_->SysLocation, "---");
    EXPECT_EQ(dialog_->UpTime.GetTotalDays(), 0.0);
    EXPECT_EQ(dialog_->UpTime.GetStatus(), COleDateTimeSpan::valid);
    EXPECT_TRUE(dialog_->LastErrorTime == NoErrorTime());
    EXPECT_TRUE(dialog_->NoErrorTime == NoErrorTime());
    EXPECT_EQ(Text(IDC_DIAG_POLLS), "");  // the edits stay empty until the first refresh
    // Every edit is read-only and out of the tab order; Clear is the one tab stop.
    for (int id : {IDC_DIAG_SYSNAME, IDC_DIAG_SYSLOCATION, IDC_DIAG_POLLS, IDC_DIAG_ERRORS, IDC_DIAG_RECONNECTS,
                   IDC_DIAG_UPTIME, IDC_DIAG_SINCE_ERROR, IDC_DIAG_CONSECUTIVE}) {
        auto* edit = qobject_cast<QLineEdit*>(dialog_->GetDlgItem(id));
        ASSERT_TRUE(edit) << id;
        EXPECT_TRUE(edit->isReadOnly()) << id;
        EXPECT_FALSE(edit->focusPolicy() & Qt::TabFocus) << id;
    }
    EXPECT_TRUE(dialog_->GetDlgItem(IDC_DIAG_CLEAR)->focusPolicy() & Qt::TabFocus);
}

TEST_F(DiagnosticsDialog, ShowsATitledToolCaptionWithoutACloseBox) {
    dialog_->ShowWindow(true);
    QWidget* caption = Caption();
    ASSERT_TRUE(caption);
    EXPECT_TRUE(caption->isVisible());
    EXPECT_EQ(caption->width(), dialog_->ClientArea()->width());
    EXPECT_LT(caption->height(), dialog_->ClientArea()->height() / 4);
    EXPECT_TRUE(caption->findChildren<QWidget*>().isEmpty());  // nothing to close it with
    // The dialog lies inside the view and is clipped by it: a child, not a window.
    EXPECT_TRUE(view_.contentsRect().contains(dialog_->geometry()));
}

TEST_F(DiagnosticsDialog, RefreshWritesEveryFieldInItsFormat) {
    Refresh(Statistics(1234567, 1000, 42, -1234), COleDateTimeSpan(1.0 + (2 * 3600 + 3 * 60 + 4.6) * Second));
    EXPECT_EQ(Text(IDC_DIAG_POLLS), "1,234,567");
    EXPECT_EQ(Text(IDC_DIAG_ERRORS), "1,000");
    EXPECT_EQ(Text(IDC_DIAG_RECONNECTS), "42");  // written, though never shown
    EXPECT_EQ(Text(IDC_DIAG_CONSECUTIVE), "-1,234");
    EXPECT_EQ(Text(IDC_DIAG_SYSNAME), "meter-7");
    EXPECT_EQ(Text(IDC_DIAG_SYSLOCATION), "Hall \xC4");
    EXPECT_EQ(Text(IDC_DIAG_UPTIME), "1d 2h 3m 5s");
    EXPECT_EQ(Text(IDC_DIAG_SINCE_ERROR), "N/A");

    Refresh(Statistics(999, 1000000000, 0, 0), COleDateTimeSpan(-90 * Second));
    EXPECT_EQ(Text(IDC_DIAG_POLLS), "999");
    EXPECT_EQ(Text(IDC_DIAG_ERRORS), "1,000,000,000");
    EXPECT_EQ(Text(IDC_DIAG_UPTIME), "0d 0h -1m -30s");
}

TEST_F(DiagnosticsDialog, TimeSinceLastErrorIsTakenAtTheRefresh) {
    DiagnosticsCopy copy = Statistics(3, 1, 0, 1);
    RecordError(copy);
    clocks_.Advance(2s);
    Refresh(copy, COleDateTimeSpan(0.0));
    EXPECT_EQ(Text(IDC_DIAG_SINCE_ERROR), "0d 0h 0m 2s");
    clocks_.Advance(1h);
    dialog_->RefreshDisplay();
    EXPECT_EQ(Text(IDC_DIAG_SINCE_ERROR), "0d 1h 0m 2s");
    // An invalid date-time equals nothing, not even the no-error time: it is a span.
    copy.LastErrorTime = COleDateTime(NoErrorTime().GetDays(), COleDateTime::invalid);
    Refresh(copy, COleDateTimeSpan(0.0));
    EXPECT_EQ(Text(IDC_DIAG_SINCE_ERROR), "0d 1h 0m 2s");
}

// What may happen to the wall clock between an error and a refresh while 2 s really pass.
struct WallClockChange {
    const char* What;
    const char* ZoneAtError;  // TZ values
    std::time_t WallAtError;  // seconds since 1970, UTC
    const char* ZoneAtRefresh;
    std::time_t WallAtRefresh;
};

constexpr char CentralEurope[] = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr std::time_t SummerTimeEnds = 1698541200;  // 2023-10-29 01:00 UTC: 03:00 CEST is 02:00 CET
constexpr std::time_t AnyTime = 1700000000;         // 2023-11-14 22:13:20 UTC

const WallClockChange wallClockChanges[] = {
    {"the clock is set back an hour", "UTC", AnyTime, "UTC", AnyTime + 2 - 3600},
    {"the clock is set a day on, as at a boot without a clock battery", "UTC", AnyTime, "UTC", AnyTime + 2 + 86400},
    {"summer time ends", CentralEurope, SummerTimeEnds - 1, CentralEurope, SummerTimeEnds + 1},
    {"the time zone changes", "UTC", AnyTime, "JST-9", AnyTime + 2},
};

TEST_F(DiagnosticsDialog, TimeSinceLastErrorIsRealTimeWhateverTheWallClockDoes) {
    for (const WallClockChange& change : wallClockChanges) {
        FakeClocks::SetZone(change.ZoneAtError);
        clocks_.SetWallClock(change.WallAtError);
        DiagnosticsCopy copy = Statistics(5, 1, 0, 1);
        RecordError(copy);
        clocks_.Advance(2s);
        FakeClocks::SetZone(change.ZoneAtRefresh);
        clocks_.SetWallClock(change.WallAtRefresh);
        Refresh(copy, COleDateTimeSpan(0.0));
        EXPECT_EQ(Text(IDC_DIAG_SINCE_ERROR), "0d 0h 0m 2s") << change.What;
    }
}

TEST_F(DiagnosticsDialog, AHiddenDialogIsRefreshedAndShowsCurrentValuesAtOnce) {
    Refresh(Statistics(17, 2, 0, 1), COleDateTimeSpan(5 * Second));
    EXPECT_FALSE(dialog_->IsWindowVisible());
    dialog_->ShowWindow(true);
    EXPECT_TRUE(dialog_->IsWindowVisible());
    EXPECT_EQ(Text(IDC_DIAG_POLLS), "17");
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog_->GetDlgItem(IDC_DIAG_UPTIME))->text(), QStringLiteral("0d 0h 0m 5s"));
}

TEST_F(DiagnosticsDialog, TheReconnectsPairIsNeverShown) {
    dialog_->ShowWindow(true);
    Refresh(Statistics(1, 1, 9, 1), COleDateTimeSpan(0.0));
    QLabel* label = Label(*dialog_, QStringLiteral("Reconnects"));
    ASSERT_TRUE(label);
    EXPECT_FALSE(label->isVisible());
    EXPECT_FALSE(dialog_->GetDlgItem(IDC_DIAG_RECONNECTS)->isVisible());
    EXPECT_EQ(Text(IDC_DIAG_RECONNECTS), "9");
    EXPECT_TRUE(Label(*dialog_, QStringLiteral("Consecutive"))->isVisible());
    EXPECT_TRUE(dialog_->GetDlgItem(IDC_DIAG_CONSECUTIVE)->isVisible());
}

TEST_F(DiagnosticsDialog, ClearResetsTheMonitorsCountersAndTheNextTickShowsThem) {
    dialog_->ShowWindow(true);
    const DiagnosticsCopy started = monitor_->CopyForDiagnostics();
    DiagnosticsCopy copy = Statistics(40, 3, 0, 2);
    copy.StartTime = started.StartTime;
    copy.StartSteadyTime = started.StartSteadyTime;
    clocks_.Advance(10s);
    RecordError(copy);
    clocks_.Advance(20s);
    Tick(copy);
    EXPECT_EQ(Text(IDC_DIAG_UPTIME), "0d 0h 0m 30s");
    EXPECT_EQ(Text(IDC_DIAG_SINCE_ERROR), "0d 0h 0m 20s");

    QTest::mouseClick(dialog_->GetDlgItem(IDC_DIAG_CLEAR), Qt::LeftButton);
    EXPECT_TRUE(view_.hasFocus());
    // The dialog's copies and controls keep their values until the next tick.
    EXPECT_EQ(dialog_->PollCount, 40);
    EXPECT_EQ(Text(IDC_DIAG_POLLS), "40");
    const DiagnosticsCopy cleared = monitor_->CopyForDiagnostics();
    EXPECT_TRUE(cleared.StartTime == started.StartTime);  // the up-time goes on
    EXPECT_EQ(cleared.StartSteadyTime, started.StartSteadyTime);

    clocks_.Advance(15s);
    Tick();
    EXPECT_EQ(Text(IDC_DIAG_POLLS), "0");
    EXPECT_EQ(Text(IDC_DIAG_ERRORS), "0");
    EXPECT_EQ(Text(IDC_DIAG_CONSECUTIVE), "0");
    EXPECT_EQ(Text(IDC_DIAG_UPTIME), "0d 0h 0m 45s");
}

TEST_F(DiagnosticsDialog, ATickTakesTheMonitorsValues) {
    clocks_.Advance(3h + 7s);
    Tick();
    EXPECT_EQ(Text(IDC_DIAG_POLLS), "0");
    EXPECT_EQ(Text(IDC_DIAG_SYSNAME), "");  // nothing read from a meter yet
    EXPECT_EQ(Text(IDC_DIAG_UPTIME), "0d 3h 0m 7s");
    EXPECT_EQ(Text(IDC_DIAG_SINCE_ERROR), "N/A");
}

TEST_F(DiagnosticsDialog, EnterDoesNothingAndEscHidesKeepingThePlace) {
    dialog_->ShowWindow(true);
    DragCaption({60, 40});
    const QPoint place = dialog_->pos();
    ASSERT_NE(place, view_.contentsRect().topLeft());

    QWidget* edit = dialog_->GetDlgItem(IDC_DIAG_POLLS);
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());  // a click gives a read-only edit the focus
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(dialog_->IsWindowVisible());

    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog_->IsWindowVisible());
    dialog_->ShowWindow(true);
    EXPECT_TRUE(dialog_->IsWindowVisible());
    EXPECT_EQ(dialog_->pos(), place);
}

TEST_F(DiagnosticsDialog, TheFocusGoesBackToTheView) {
    dialog_->ShowWindow(true);
    QTest::mouseClick(dialog_->GetDlgItem(IDC_DIAG_SYSNAME), Qt::LeftButton);
    ASSERT_TRUE(dialog_->GetDlgItem(IDC_DIAG_SYSNAME)->hasFocus());
    dialog_->setFocus(Qt::OtherFocusReason);  // the dialog window itself takes the focus
    EXPECT_TRUE(view_.hasFocus());

    QTest::mouseClick(dialog_->GetDlgItem(IDC_DIAG_SYSNAME), Qt::LeftButton);
    ASSERT_TRUE(dialog_->GetDlgItem(IDC_DIAG_SYSNAME)->hasFocus());
    QTest::mouseClick(Caption(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));  // a click on the dialog itself
    EXPECT_TRUE(view_.hasFocus());
}

TEST_F(DiagnosticsDialog, TheCaptionDragsTheDialogWithinTheView) {
    dialog_->ShowWindow(true);
    const QRect area = view_.contentsRect();
    DragCaption({100, 60});
    EXPECT_EQ(dialog_->pos(), area.topLeft() + QPoint(100, 60));
    DragCaption({5000, 5000});
    EXPECT_EQ(dialog_->geometry().bottomRight(), area.bottomRight());
    DragCaption({-5000, -5000});
    EXPECT_EQ(dialog_->pos(), area.topLeft());
}

// Clear against counters that real polls raised: a monitor with its worker and a meter.
TEST_F(DiagnosticsDialog, ClearZeroesCountersThatPollsRaised) {
    MeterSimProcess meter;
    meter.Command("silent on");  // every poll fails: polls, errors and errors in a row rise
    SaveMeterSettings(meter.Agent(), [](Settings& settings) {
        settings.SnmpTimeout = 50;
        settings.SnmpRetries = 0;
    });
    MeterMonitor polled;
    ASSERT_TRUE(polled.StartWorker());
    polled.RequestFirstConnection();
    CDiagDlg clearing(&view_, &polled);
    ASSERT_TRUE(clearing.Create(&view_));
    for (int poll = 0; poll < 2; ++poll) {
        polled.RequestPoll();
        ASSERT_TRUE(WaitUntil([&] { return !polled.PollPending(); }, std::chrono::seconds(1), ProcessEvents));
    }
    ASSERT_EQ(polled.CopyForDiagnostics().ErrorCount, 2);
    QTest::mouseClick(clearing.GetDlgItem(IDC_DIAG_CLEAR), Qt::LeftButton);
    const DiagnosticsCopy cleared = polled.CopyForDiagnostics();
    EXPECT_EQ(cleared.PollCount, 0);
    EXPECT_EQ(cleared.ErrorCount, 0);
    EXPECT_EQ(cleared.ConsecutiveErrors, 0);
    EXPECT_FALSE(cleared.LastErrorTime == NoErrorTime()) << "the time of the last error stays";
    polled.StopWorker();
}
