// The main frame on Qt's offscreen platform: menu, accelerators, full screen, routing.
#include "app/main_frame.h"

#include "config/settings_store.h"
#include "diag/diag_dlg.h"
#include "platform/sys/fixed_text.h"
#include "res/app_resources.h"
#include "tests/support/data_home.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/modal_answer.h"
#include "tests/support/xdg_sandbox.h"
#include "view/child_view.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace decimon::test;

namespace {

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        SaveMeterSettings(sim_.Agent());
        frame_ = std::make_unique<CMainFrame>([this](int command) {
            applicationCommands_.push_back(command);
            return command == ID_APP_ABOUT || command == ID_APP_EXIT;
        });
        frame_->LoadFrame();
    }
    void TearDown() override { frame_.reset(); }

    void ShowAndSettle(bool fullScreen = false) {
        if (fullScreen)
            frame_->OnFullScreen();
        frame_->show();
        Settle();
        EXPECT_EQ(frame_->IsFullScreen(), fullScreen);
    }
    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // A key press as the keyboard makes it, delivered where the focus is: the view.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&frame_->View(), &press);
        Settle();
    }

    // Runs `action` and cancels the modal window it opens; answers that window's name, or
    // nothing when none opened.
    static QString CancelledModal(const std::function<void()>& action) {
        QString name;
        ModalAnswer cancel([&](QWidget* modal) {
            name = modal->objectName();
            static_cast<QDialog*>(modal)->reject();
        });
        action();
        return name;
    }

    XdgSandbox xdg_;
    DataHome data_;  // the history reads no record of the machine's
    MeterSimProcess sim_;
    std::unique_ptr<CMainFrame> frame_;
    std::vector<int> applicationCommands_;
};

TEST_F(Frame, TheMenuHasItsPopupsItemsAndCommands) {
    const QList<QAction*> popups = frame_->menuBar()->actions();
    ASSERT_EQ(popups.size(), 3);
    EXPECT_EQ(popups[0]->text(), "&File");
    EXPECT_EQ(popups[1]->text(), "Options");
    EXPECT_EQ(popups[2]->text(), "&Help");
    const std::vector<std::pair<int, QString>> items = {{ID_APP_EXIT, "E&xit"},
                                                        {ID_VIEW_FULLSCREEN, "Full Screen\tF"},
                                                        {ID_OPTIONS_CONFIGURE, "Configuration...\tC"},
                                                        {ID_OPTIONS_DIAGNOSTICS, "Diagnostics...\tD"},
                                                        {ID_VIEW_HISTORY, "History\tH"},
                                                        {ID_APP_ABOUT, "&About Decimon..."}};
    for (const auto& [command, text] : items) {
        QAction* action = frame_->CommandAction(command);
        ASSERT_NE(action, nullptr) << command;
        EXPECT_EQ(action->text(), text);
        EXPECT_TRUE(action->isEnabled());
        EXPECT_FALSE(action->isCheckable());
    }
    EXPECT_EQ(popups[0]->menu()->actions().size(), 1);
    EXPECT_EQ(popups[1]->menu()->actions().size(), 4);
    EXPECT_EQ(popups[2]->menu()->actions().size(), 1);
    EXPECT_EQ(frame_->windowTitle(), "Decimon");
}

// The window icon draws each size from its own file, and a size between two from the larger,
// scaled down: never larger than asked, never larger than the largest file.
TEST_F(Frame, TheWindowIconHasAllItsSizes) {
    const QIcon icon = frame_->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes().size(), 9);
    const struct {
        int asked;
        int drawn;
        int file;  // the file whose pixels are drawn as they stand; 0: scaled from another
    } sizes[] = {{16, 16, 16}, {22, 22, 22}, {48, 48, 48}, {512, 512, 512}, {40, 40, 0}, {8, 8, 0}, {600, 512, 512}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.asked);
        const QImage drawn = icon.pixmap(QSize(size.asked, size.asked)).toImage();
        EXPECT_EQ(drawn.size(), QSize(size.drawn, size.drawn));
        EXPECT_EQ(icon.actualSize(QSize(size.asked, size.asked)), drawn.size());
        if (size.file != 0) {
            EXPECT_EQ(drawn, QPixmap(QString(":/icons/decimon-%1.png").arg(size.file)).toImage());
        }
    }
}

TEST_F(Frame, CommandsGoToTheViewThenTheFrameThenTheApplication) {
    ShowAndSettle();
    EXPECT_EQ(CancelledModal([&] { frame_->CommandAction(ID_OPTIONS_CONFIGURE)->trigger(); }), "CConfigDlg");
    frame_->CommandAction(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(applicationCommands_, std::vector<int>{ID_APP_ABOUT});
    EXPECT_FALSE(frame_->OnCmdMsg(ID_EDIT_COPY)) << "nobody handles the edit commands";
    EXPECT_EQ(applicationCommands_.size(), 2u) << "after the view and the frame, the application was asked";
}

TEST_F(Frame, FullScreenFollowsTheWindowState) {
    QSignalSpy changes(frame_.get(), &CMainFrame::FullScreenChanged);
    ShowAndSettle();
    frame_->resize(frame_->FullScreenRect().size() * 2);
    Settle();
    EXPECT_EQ(frame_->size(), frame_->FullScreenRect().size()) << "never larger than the screen measured at start-up";
    frame_->OnFullScreen();
    Settle();
    EXPECT_TRUE(frame_->IsFullScreen());
    EXPECT_EQ(frame_->menuBar()->height(), 0) << "full screen puts the menu bar out of sight";
    frame_->OnFullScreen();
    Settle();
    EXPECT_FALSE(frame_->IsFullScreen());
    EXPECT_TRUE(frame_->menuBar()->isVisible());
    EXPECT_GT(frame_->menuBar()->height(), 0);
    frame_->showMaximized();  // the maximise button or a double click on the caption
    Settle();
    EXPECT_TRUE(frame_->IsFullScreen()) << "maximised means full screen";
    frame_->showMinimized();
    Settle();
    EXPECT_FALSE(frame_->IsFullScreen()) << "minimising clears it";
    std::vector<bool> announced;
    for (const QList<QVariant>& change : changes)
        announced.push_back(change.at(0).toBool());
    EXPECT_EQ(announced, (std::vector<bool>{true, false, true, false})) << "each change announced once";
}

// A window system that keeps every window maximised, full screen or not (a kiosk compositor),
// answers each state the frame asks for with both: the frame takes that as full screen and
// asks for nothing more.
TEST_F(Frame, FullScreenAndMaximisedTogetherIsFullScreen) {
    ShowAndSettle(true);
    const Qt::WindowStates kiosk = Qt::WindowMaximized | Qt::WindowFullScreen;
    int requests = 0;
    QObject compositor;
    QObject::connect(frame_->windowHandle(), &QWindow::windowStateChanged, &compositor, [&] {
        if (frame_->windowState() != kiosk) {
            ++requests;
            QTimer::singleShot(0, &compositor, [&] { frame_->setWindowState(kiosk); });
        }
    });
    frame_->setWindowState(kiosk);
    for (int i = 0; i < 20; ++i)
        Settle();
    EXPECT_EQ(requests, 0) << "the frame keeps asking to leave the maximised state";
    EXPECT_EQ(frame_->windowState(), kiosk);
    EXPECT_TRUE(frame_->IsFullScreen());
    EXPECT_EQ(frame_->menuBar()->height(), 0);
}

// However full screen was entered, leaving it puts back the window as it was before.
TEST_F(Frame, LeavingFullScreenRestoresTheNormalPlacement) {
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Full Screen command", [this] { frame_->OnFullScreen(); }},
        {"maximise button", [this] { frame_->showMaximized(); }},
        // A window manager's maximise: its placement and the new state arrive together.
        {"maximise by a window manager", [this] {
             frame_->setGeometry(frame_->FullScreenRect());
             frame_->showMaximized();
         }}};
    ShowAndSettle();
    for (const auto& [way, enter] : ways) {
        SCOPED_TRACE(way);
        frame_->setGeometry(QRect(40, 50, 400, 300));
        Settle();
        const QRect normal = frame_->geometry();
        enter();
        Settle();
        ASSERT_TRUE(frame_->IsFullScreen());
        frame_->OnFullScreen();
        Settle();
        EXPECT_EQ(frame_->geometry(), normal);
    }
}

// What a second start of the program asks of the first: full screen again, however it left it.
TEST_F(Frame, ComeForwardGoesBackToFullScreen) {
    const std::vector<std::pair<const char*, std::function<void()>>> states = {
        {"full screen", [] {}},
        {"left with the Full Screen command", [this] { frame_->OnFullScreen(); }},
        {"minimised", [this] { frame_->showMinimized(); }},
    };
    ShowAndSettle(true);
    for (const auto& [state, reach] : states) {
        SCOPED_TRACE(state);
        reach();
        Settle();
        frame_->ComeForward();
        Settle();
        EXPECT_TRUE(frame_->IsFullScreen());
        EXPECT_EQ(frame_->geometry(), frame_->FullScreenRect());
        EXPECT_TRUE(frame_->isVisible());
    }
}

// Alt and a popup's letter open its menu in full screen as in the normal window, and the
// item's letter runs its command; the view keeps the whole screen.
TEST_F(Frame, MenuKeysWorkInFullScreen) {
    ShowAndSettle(true);
    const struct {
        Qt::Key popup;
        Qt::Key item;
        int command;
    } cases[] = {{Qt::Key_F, Qt::Key_X, ID_APP_EXIT}, {Qt::Key_H, Qt::Key_A, ID_APP_ABOUT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        QTest::keyClick(&frame_->View(), c.popup, Qt::AltModifier);
        Settle();
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "no menu opened";
        EXPECT_LT(menu->geometry().top(), frame_->FullScreenRect().height() / 8) << "shown at the top of the screen";
        QTest::keyClick(menu, c.item);
        Settle();
        EXPECT_EQ(applicationCommands_, std::vector<int>{c.command});
        applicationCommands_.clear();
        EXPECT_EQ(frame_->View().height(), frame_->FullScreenRect().height());
    }
}

TEST_F(Frame, SingleLetterKeysWorkWithoutTheMenuBar) {
    ShowAndSettle(true);
    ASSERT_NE(frame_->View().DiagnosticsDialog(), nullptr) << "the first paint made the dialog";
    EXPECT_EQ(CancelledModal([&] { Press(Qt::Key_C, Qt::NoModifier, "c"); }), "CConfigDlg");
    EXPECT_EQ(CancelledModal([&] { Press(Qt::Key_C, Qt::ShiftModifier, "C"); }), "CConfigDlg");
    CDiagDlg& diagnostics = *frame_->View().DiagnosticsDialog();
    Press(Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_TRUE(diagnostics.IsWindowVisible());
    Press(Qt::Key_D, Qt::ShiftModifier, "D");
    EXPECT_FALSE(diagnostics.IsWindowVisible());
    Press(Qt::Key_F, Qt::ShiftModifier, "F");
    EXPECT_FALSE(frame_->IsFullScreen());
    Press(Qt::Key_F, Qt::NoModifier, "f");
    EXPECT_TRUE(frame_->IsFullScreen());
    EXPECT_TRUE(frame_->View().hasFocus() || QApplication::focusWidget() == nullptr ||
                QApplication::focusWidget() == &frame_->View());
}

// H and the menu item switch to the history picture and back (Esc too), and the other
// commands work while it shows.
TEST_F(Frame, HistoryKeysAndTheOtherCommandsInBothPictures) {
    ShowAndSettle(true);
    CChildView& view = frame_->View();
    Press(Qt::Key_H, Qt::NoModifier, "h");
    ASSERT_TRUE(view.ShowsHistory());
    CDiagDlg& diagnostics = *view.DiagnosticsDialog();
    Press(Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_TRUE(diagnostics.IsWindowVisible());
    Press(Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_FALSE(diagnostics.IsWindowVisible());
    EXPECT_EQ(CancelledModal([&] { Press(Qt::Key_C, Qt::NoModifier, "c"); }), "CConfigDlg");
    Press(Qt::Key_F, Qt::NoModifier, "f");
    EXPECT_FALSE(frame_->IsFullScreen());
    EXPECT_TRUE(view.ShowsHistory()) << "F closed the history";
    Press(Qt::Key_H, Qt::ShiftModifier, "H");
    EXPECT_FALSE(view.ShowsHistory());
    frame_->CommandAction(ID_VIEW_HISTORY)->trigger();
    EXPECT_TRUE(view.ShowsHistory());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(view.ShowsHistory());
    Press(Qt::Key_F, Qt::NoModifier, "f");
    EXPECT_TRUE(frame_->IsFullScreen());
    EXPECT_TRUE(applicationCommands_.empty()) << "a history command went up to the application";
}

TEST_F(Frame, EditAndPaneKeysDoNothing) {
    ShowAndSettle(true);
    const bool diagnosticsShown = frame_->View().DiagnosticsDialog()->IsWindowVisible();
    const std::vector<std::pair<int, Qt::KeyboardModifiers>> keys = {
        {Qt::Key_C, Qt::ControlModifier},    {Qt::Key_X, Qt::ControlModifier},      {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier},    {Qt::Key_Insert, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ShiftModifier},
        {Qt::Key_Delete, Qt::ShiftModifier}, {Qt::Key_Backspace, Qt::AltModifier},  {Qt::Key_F6, Qt::NoModifier},
        {Qt::Key_F6, Qt::ShiftModifier}};
    const QString opened = CancelledModal([&] {
        for (const auto& [key, modifiers] : keys) {
            EXPECT_NE(TranslateAccelerator(key, modifiers, ""), 0) << "the table has an entry for " << key;
            Press(key, modifiers);
        }
    });
    EXPECT_TRUE(opened.isEmpty()) << "no key opened " << qPrintable(opened);
    EXPECT_TRUE(frame_->IsFullScreen());
    EXPECT_EQ(frame_->View().DiagnosticsDialog()->IsWindowVisible(), diagnosticsShown);
    EXPECT_TRUE(applicationCommands_.size() == keys.size())
        << "each key's command went unhandled up to the application";
}

TEST(Accelerators, CharactersAreCaseSensitiveAndVirtualKeysNeedTheirModifiers) {
    EXPECT_EQ(TranslateAccelerator(Qt::Key_C, Qt::NoModifier, "c"), ID_OPTIONS_CONFIGURE);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_C, Qt::ControlModifier, "\x03"), ID_EDIT_COPY);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_F6, Qt::NoModifier, ""), ID_NEXT_PANE);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_F6, Qt::ShiftModifier, ""), ID_PREV_PANE);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_F6, Qt::ControlModifier, ""), 0);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_E, Qt::NoModifier, "e"), 0);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_D, Qt::AltModifier, "d"), 0) << "Alt+D is no typed character";
    EXPECT_EQ(TranslateAccelerator(Qt::Key_F, Qt::KeypadModifier, "f"), ID_VIEW_FULLSCREEN);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_H, Qt::NoModifier, "h"), ID_VIEW_HISTORY);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_H, Qt::ShiftModifier, "H"), ID_VIEW_HISTORY);
    EXPECT_EQ(TranslateAccelerator(Qt::Key_H, Qt::AltModifier, "h"), 0) << "Alt+H opens the Help menu";
    EXPECT_EQ(TranslateAccelerator(Qt::Key_Escape, Qt::NoModifier, "\x1b"), 0) << "Esc is the history's own key";
}

}  // namespace
