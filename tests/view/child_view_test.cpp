// The meter view as a window: construction, the first paint's start-up, sizing and fitting,
// the back buffer, the poll timer, the commands and the shut-down. Settings come from a
// private settings file naming the simulator, or 127.0.0.1:9 where no meter is needed.
#include "view/child_view.h"

#include "config/settings_store.h"
#include "diag/diag_dlg.h"
#include "diag/diag_format.h"
#include "monitor/dose.h"
#include "monitor/polling_worker.h"
#include "platform/sys/fixed_text.h"
#include "res/app_resources.h"
#include "res/dialog_ids.h"
#include "tests/support/fake_clocks.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/modal_answer.h"
#include "tests/support/qt_wait.h"
#include "tests/support/xdg_sandbox.h"
#include "tests/view/view_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace decimon::test;

namespace {

TEST_F(ViewTest, ConstructionSetsUpFontsAndWorkerButNoWindowWork) {
    MakeView(NoMeter);
    EXPECT_EQ(FontHeight(view_->Fonts().LabelFont), 32);
    EXPECT_EQ(FontHeight(view_->Fonts().LevelFont), 40);
    EXPECT_EQ(FontHeight(view_->Fonts().WarningFont), 32);
    EXPECT_EQ(FontHeight(view_->Fonts().FooterFont), 12);
    EXPECT_TRUE(view_->HasWorker());
    EXPECT_EQ(view_->DiagnosticsDialog(), nullptr);
    EXPECT_FALSE(view_->Timers().IsArmed(CChildView::PollTimer));
    EXPECT_TRUE(view_->ShownImage().isNull()) << "no window, nothing painted";
    EXPECT_EQ(view_->ClientSize(), QSize(0, 0));
    EXPECT_EQ(view_->frameShape(), QFrame::WinPanel);
    EXPECT_EQ(view_->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(view_->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(view_->testAttribute(Qt::WA_OpaquePaintEvent)) << "a repaint must not erase first";
    ProcessEventsFor(100ms);
    EXPECT_FALSE(view_->HasSession()) << "the first connection waits for the first paint";
}

TEST_F(ViewTest, FirstPaintStartsUpOnce) {
    MakeView(NoMeter);
    ShowView();
    CDiagDlg* dialog = view_->DiagnosticsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->IsWindowVisible()) << "the dialog is created hidden";
    EXPECT_EQ(dialog->parentWidget(), view_.get());
    EXPECT_TRUE(view_->Timers().IsArmed(CChildView::PollTimer));
    EXPECT_EQ(view_->focusWidget(), view_.get());
    EXPECT_TRUE(WaitUntil([&] { return view_->HasSession(); }, 5s, ProcessEvents))
        << "the first paint asks for the first connection";
    Repaint();
    Repaint();
    EXPECT_EQ(view_->DiagnosticsDialog(), dialog) << "the start-up runs once";
}

TEST_F(ViewTest, ResizeRecordsTheClientAreaAndRefitsToItsWidth) {
    MakeView(NoMeter);
    ShowView(800, 600);
    EXPECT_EQ(view_->ClientSize(), QSize(800, 600));
    EXPECT_EQ(view_->ShownImage().size(), QSize(800, 600));
    const ViewFonts& fonts = view_->Fonts();
    EXPECT_EQ(FontHeight(fonts.LabelFont), LargestFittingHeight(QStringLiteral("Current sound level"), 232));
    EXPECT_EQ(FontHeight(fonts.LevelFont), LargestFittingHeight(QStringLiteral("108.9 dBA"), 472));
    EXPECT_EQ(FontHeight(fonts.WarningFont), LargestFittingHeight(QStringLiteral("WEAR HEARING PROTECTION AT"), 700));
    EXPECT_EQ(FontHeight(fonts.FooterFont), 12) << "the footer font is never refitted";

    ResizeClient(1600, 600);
    ProcessEventsFor(50ms);
    EXPECT_EQ(FontHeight(fonts.LevelFont), LargestFittingHeight(QStringLiteral("108.9 dBA"), 1600 - 560 - 48));
    EXPECT_EQ(FontHeight(fonts.FooterFont), 12);
}

TEST_F(ViewTest, ZeroWidthRecordsTheSizeButRefitsNothing) {
    MakeView(NoMeter);
    ShowView(800, 600);
    const ViewFonts& fonts = view_->Fonts();
    const QFont* label = fonts.LabelFont.get();
    const QFont* level = fonts.LevelFont.get();
    const QFont* warning = fonts.WarningFont.get();
    const int levelHeight = FontHeight(fonts.LevelFont);
    ResizeClient(0, 300);
    ProcessEventsFor(50ms);
    EXPECT_EQ(view_->ClientSize(), QSize(0, 300));
    EXPECT_EQ(fonts.LabelFont.get(), label);
    EXPECT_EQ(fonts.LevelFont.get(), level);
    EXPECT_EQ(fonts.WarningFont.get(), warning);
    EXPECT_EQ(FontHeight(fonts.LevelFont), levelHeight);
    Repaint();  // nothing to draw on, and no failure either
}

TEST_F(ViewTest, WindowShowsThePictureInsideItsEdge) {
    MakeView(NoMeter);
    ShowView(800, 600);
    EXPECT_EQ(Shown(), Expected(Copy(NoReading, "---", "---", FixedFooter)));
    ResizeClient(801, 600);
    Repaint();
    EXPECT_EQ(view_->ShownImage().size(), QSize(801, 600)) << "a one-pixel resize paints the new size";
    const QImage window = view_->grab().toImage();  // paints once more
    const int edge = view_->frameWidth();
    EXPECT_EQ(window.copy(edge, edge, 801, 600).convertToFormat(QImage::Format_RGB32), Shown());
    EXPECT_NE(window.pixel(0, 0), qRgb(255, 255, 255)) << "the sunken edge is drawn";
}

TEST_F(ViewTest, TickOfAnotherIdentifierNeitherPollsNorRepaints) {
    MeterSimProcess sim;
    sim.Set("level", "integer", "853");
    MakeView(sim.Agent());
    ShowView();
    ASSERT_TRUE(WaitUntil([&] { return sim.Count() > 0 && !view_->PollPending(); }, 3000ms, ProcessEvents))
        << "no first poll";
    ProcessEventsFor(600ms);  // past the first tick, 500 ms after the first paint
    // A level the client does not show yet, whether or not the first tick showed the first
    // connection's poll: the poll timer's next tick has something to repaint.
    PollLevel(sim, "912");
    ProcessEventsFor(100ms);
    const std::uint64_t requests = sim.Count();
    const int paints = recorder_->Count();

    view_->OnTimer(CChildView::PollTimer + 1);
    view_->OnTimer(1);
    EXPECT_FALSE(view_->InTick());
    EXPECT_FALSE(view_->PollPending());
    ProcessEventsFor(300ms);
    EXPECT_EQ(sim.Count(), requests);
    EXPECT_EQ(recorder_->Count(), paints);

    view_->OnTimer(CChildView::PollTimer);
    EXPECT_FALSE(view_->InTick());
    EXPECT_TRUE(WaitUntil([&] { return sim.Count() > requests; }, 3000ms, ProcessEvents))
        << "the poll timer's tick polls";
    EXPECT_TRUE(WaitUntil([&] { return recorder_->Count() > paints; }, 3000ms, ProcessEvents)) << "and repaints";
    EXPECT_TRUE(view_->Timers().IsArmed(CChildView::PollTimer));
}

TEST_F(ViewTest, TickHandsTheStatisticsToTheHiddenDialog) {
    MeterSimProcess sim;
    sim.Set("level", "integer", "853");
    sim.Set("name", "octetstring", "Press shop");
    MakeView(sim.Agent());
    ShowView();
    CDiagDlg* dialog = view_->DiagnosticsDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return sim.Count() > 0 && !view_->PollPending(); }, 3000ms, ProcessEvents))
        << "no first tick";
    ASSERT_FALSE(dialog->IsWindowVisible());

    view_->OnTimer(CChildView::PollTimer);
    EXPECT_GE(dialog->PollCount, 1) << "the first tick's poll is counted at the second tick";
    EXPECT_STREQ(dialog->SysName, "Press shop");
    EXPECT_GE(dialog->UpTime.GetTotalDays(), 0.0);
    EXPECT_LT(dialog->UpTime.GetTotalDays(), 60.0 / 86400.0);
    char polls[32];
    dialog->GetDlgItemText(IDC_DIAG_POLLS, polls, sizeof polls);
    EXPECT_EQ(polls, FormatThousands(dialog->PollCount)) << "the hidden dialog was refreshed";
    EXPECT_FALSE(dialog->IsWindowVisible());

    view_->ClearCounters();
    const int before = dialog->PollCount;
    view_->OnTimer(CChildView::PollTimer + 7);
    EXPECT_EQ(dialog->PollCount, before) << "another timer hands nothing over";
}

TEST_F(ViewTest, TheTicksUpTimeIsRealTimeWhenTheWallClockIsSetBack) {
    clocks_.emplace(1700000000);
    MakeView(NoMeter);
    ShowView();
    CDiagDlg* dialog = view_->DiagnosticsDialog();
    ASSERT_NE(dialog, nullptr);
    clocks_->Advance(5s);
    clocks_->SetWallClock(1700000000 + 5 - 3600);
    view_->OnTimer(CChildView::PollTimer);
    EXPECT_DOUBLE_EQ(dialog->UpTime.GetTotalDays(), 5.0 / 86400);
    char upTime[32];
    dialog->GetDlgItemText(IDC_DIAG_UPTIME, upTime, sizeof upTime);
    EXPECT_STREQ(upTime, "0d 0h 0m 5s");
}

TEST_F(ViewTest, FirstTickAfterHalfASecondThenEveryPollingInterval) {
    MeterSimProcess sim;
    MakeView(sim.Agent(), [](Settings& settings) { settings.PollingInterval = 1; });
    ShowView();
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> polls;  // when each tick's poll reached the meter
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (sim.Count() > 4 * polls.size())
                polls.push_back(clock.elapsed());
            return polls.size() == 2;
        },
        4000ms, ProcessEvents));
    EXPECT_NEAR(polls[0], 500, 150);
    EXPECT_NEAR(polls[1] - polls[0], 1000, 200);
}

// The ticks repaint only what the new picture changes, partial paints draw only their part,
// and the client always shows one whole picture, pixel for pixel.
TEST_F(ViewTest, PaintsDrawOnlyWhatChangedAndKeepThePictureWhole) {
    MeterSimProcess sim;
    sim.Set("level", "integer", "853");
    SetReadingNames(sim);
    MakeView(sim.Agent());
    ShowView();
    ASSERT_TRUE(WaitUntil([&] { return sim.Count() > 0 && !view_->PollPending(); }, 3000ms, ProcessEvents))
        << "no first tick";
    const QRect labels(0, 0, 280 - 16, 570);  // left of the column, above the footer: no change there

    view_->OnTimer(CChildView::PollTimer);  // the first poll's values: level, dose and footer
    ProcessEventsFor(100ms);
    EXPECT_EQ(Shown(), Expected(Reading(85.3)));
    EXPECT_FALSE(recorder_->Last().intersects(labels)) << "the tick repainted more than the texts";

    const int paints = recorder_->Count();
    view_->OnTimer(CChildView::PollTimer);
    ProcessEventsFor(100ms);
    EXPECT_EQ(recorder_->Count(), paints) << "a tick that brings nothing new paints nothing";

    const QRect corner(20, 20, 40, 40);
    view_->repaint(corner.translated(view_->contentsRect().topLeft()));
    EXPECT_EQ(recorder_->Last(), QRegion(corner.translated(view_->contentsRect().topLeft())));
    EXPECT_EQ(Shown(), Expected(Reading(85.3)));

    // A paint of the corner after a new poll: it still draws the picture shown, then the
    // level's change follows in a paint of its own.
    PollLevel(sim, "912");
    view_->repaint(corner.translated(view_->contentsRect().topLeft()));
    EXPECT_EQ(Shown(), Expected(Reading(85.3)));
    ProcessEventsFor(100ms);
    EXPECT_EQ(Shown(), Expected(Reading(91.2)));
    EXPECT_FALSE(recorder_->Last().intersects(labels));

    // The diagnostics dialog over the level: the change shows around it, in a few paints.
    view_->OnDiagnostics();
    CDiagDlg& dialog = *view_->DiagnosticsDialog();
    dialog.move(view_->contentsRect().topLeft() + QPoint(300, 60));
    ProcessEventsFor(100ms);
    PollLevel(sim, "777");
    EXPECT_LE(PaintsOfTick(), 3) << "the view keeps repainting under the dialog";
    const QRegion underDialog = dialog.geometry().translated(-view_->contentsRect().topLeft());
    EXPECT_EQ(Masked(Shown(), underDialog), Masked(Expected(Reading(77.7)), underDialog));
}

// Paints whose region never covers the whole change still end, and the new values reach the
// client: in the tick's one paint where the rest of the change is out of sight, or in the
// paint after next where the window system leaves it out of every region.
TEST_F(ViewTest, PaintsEndAndShowTheChangeWhenNoRegionCoversIt) {
    struct Case {
        const char* name;
        std::function<void()> show;       // makes and shows the view on the simulator
        std::function<QRegion()> hidden;  // the part of the client out of sight
        int paints;                       // the most paints a tick may take
    };
    MeterSimProcess sim;
    SetReadingNames(sim);
    const QRect client(0, 0, 800, 600);
    const auto origin = [this] { return view_->contentsRect().topLeft(); };
    const std::vector<Case> cases = {
        {"a line through the level's row is in no paint's region",
         [&] {
             MakeView<BlindSpotView>(sim.Agent());
             ShowView();
             const int row = ComputeLayout(client.width(), client.height(), true).Y1;
             static_cast<BlindSpotView&>(*view_).SetBlindSpot(QRect(0, row, client.width(), 1).translated(origin()));
         },
         [] { return QRegion(); }, 3},
        {"the level runs out of the parent",
         [&] {
             MakeView(sim.Agent());
             parent_ = std::make_unique<QWidget>();
             parent_->resize(600, 700);
             view_->setParent(parent_.get());
             parent_->show();
             ShowView();
         },
         [&] { return QRegion(client) - QRect(-origin(), parent_->size()); }, 1},
        {"the diagnostics dialog covers the level",
         [&] {
             MakeView(sim.Agent());
             ShowView();
             view_->OnDiagnostics();
             view_->DiagnosticsDialog()->move(origin() + QPoint(300, 60));
         },
         [&] { return QRegion(view_->DiagnosticsDialog()->geometry().translated(-origin())); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Set("level", "integer", "853");
        c.show();
        ASSERT_TRUE(WaitUntil([&] { return sim.Count() > 0 && !view_->PollPending(); }, 3000ms, ProcessEvents))
            << "no first tick";
        view_->OnTimer(CChildView::PollTimer);
        ProcessEventsFor(100ms);
        PollLevel(sim, "912");
        EXPECT_LE(PaintsOfTick(), c.paints) << "the view keeps repainting";
        EXPECT_EQ(Masked(Shown(), c.hidden()), Masked(Expected(Reading(91.2)), c.hidden()));
    }
}

TEST_F(ViewTest, TimerDrivenPollsReachTheScreen) {
    MeterSimProcess sim;
    sim.Set("level", "integer", "853");
    SetReadingNames(sim);
    MakeView(sim.Agent(), [](Settings& settings) {
        settings.PollingInterval = 1;
        settings.LevelOffset = 2;
    });
    ShowView(800, 600);
    const QImage expected =
        Expected(Copy(85.3, "dBA", FormatTimeToLimit(85.3, 2, 8.0), ComposeFooter("Press shop", "Hall 3")));
    EXPECT_NE(Shown(), expected) << "the first paint has no reading yet";
    EXPECT_TRUE(WaitUntil([&] { return Shown() == expected; }, 6000ms, ProcessEvents))
        << "the level never reached the screen";
}

TEST_F(ViewTest, CommandsRoutedToTheView) {
    MakeView(NoMeter);
    QString opened;
    ModalAnswer cancel([&](QWidget* modal) {
        opened = modal->objectName();
        static_cast<QDialog*>(modal)->reject();
    });
    EXPECT_TRUE(view_->OnCmdMsg(ID_OPTIONS_CONFIGURE));
    EXPECT_EQ(opened, "CConfigDlg") << "no password set: the configuration dialog opens at once";
    EXPECT_FALSE(view_->OnCmdMsg(ID_VIEW_FULLSCREEN));
    EXPECT_FALSE(view_->OnCmdMsg(ID_APP_ABOUT));

    // Before the first paint the Diagnostics command only takes the focus.
    EXPECT_TRUE(view_->OnCmdMsg(ID_OPTIONS_DIAGNOSTICS));
    EXPECT_EQ(view_->DiagnosticsDialog(), nullptr);
    EXPECT_EQ(view_->focusWidget(), view_.get());

    ShowView();
    CDiagDlg* dialog = view_->DiagnosticsDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(view_->OnCmdMsg(ID_OPTIONS_DIAGNOSTICS));
    EXPECT_TRUE(dialog->IsWindowVisible());
    EXPECT_EQ(view_->focusWidget(), view_.get()) << "the focus stays on the view";
    view_->OnDiagnostics();
    EXPECT_FALSE(dialog->IsWindowVisible());
    EXPECT_EQ(view_->focusWidget(), view_.get());
}

TEST_F(ViewTest, DestroyStopsTheTimerAndWorkerAndFreesEverythingOnce) {
    MakeView(NoMeter);
    ShowView();
    view_->OnDestroy();
    EXPECT_FALSE(view_->Timers().IsArmed(CChildView::PollTimer));
    EXPECT_FALSE(view_->HasWorker());
    EXPECT_FALSE(view_->HasSession()) << "the worker closed its session before it ended";
    EXPECT_EQ(view_->DiagnosticsDialog(), nullptr);
    EXPECT_FALSE(view_->Fonts().LabelFont || view_->Fonts().LevelFont || view_->Fonts().WarningFont ||
                 view_->Fonts().FooterFont);
    view_->OnDestroy();
    Repaint();  // a destroyed view draws nothing: it has no fonts to draw with
    ResizeClient(900, 700);
    Repaint();
    view_->OnDiagnostics();
    EXPECT_FALSE(view_->Fonts().LabelFont) << "nor makes fonts again";
}

TEST_F(ViewTest, DestroyBeforeTheFirstPaintEndsTheIdleWorker) {
    MakeView(NoMeter);
    view_->OnDestroy();
    EXPECT_FALSE(view_->HasWorker());
    EXPECT_FALSE(view_->HasSession());
}

}  // namespace
