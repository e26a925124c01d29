// The history picture in the meter view: the History command and Esc switch the pictures, the
// record of the view's host shows its figures, a record that cannot be read says why, and the
// picture is repainted once a minute, not at the poll timer's ticks. The clock stands at
// 13:00:10 Central European time; the record lives in a private XDG_DATA_HOME.
#include "platform/sys/ole_date_time.h"
#include "res/app_resources.h"
#include "tests/support/case_name.h"
#include "tests/support/data_home.h"
#include "tests/support/level_database.h"
#include "tests/support/process_locale.h"
#include "tests/support/time_zone.h"
#include "tests/view/view_fixture.h"

#include <QTest>

using namespace decimon::test;

namespace {

constexpr std::time_t Now = 1764676810;  // 2025-12-02 12:00:10 UTC

class HistoryView : public ViewTest {
protected:
    void SetUp() override {
        COleDateTime::SetClock([] { return Now; });
    }
    void TearDown() override {
        ViewTest::TearDown();
        COleDateTime::SetClock(nullptr);
    }

    // Four hours at 88 dB, then four at 70 dB, for the view's host; some of another host.
    void SeedRecord() {
        const HistoryWindow window = HistoryWindowAt(Now, 8.0);
        database_.Write(Joined({SteadyMinutes(NoMeter, window.From, 240, 88.0),
                                SteadyMinutes(NoMeter, window.From + 240 * 60, 240, 70.0),
                                SteadyMinutes("hall", window.From, 480, 99.0)}));
    }
    // The view on that record, shown with its history open.
    void ShowSeededHistory() {
        SeedRecord();
        MakeView(NoMeter);
        ShowView();
        OpenHistory();
    }

    // Opens the history and waits until its first read is shown.
    void OpenHistory() {
        ASSERT_TRUE(view_->OnCmdMsg(ID_VIEW_HISTORY));
        ASSERT_TRUE(view_->ShowsHistory());
        ASSERT_TRUE(WaitUntil([&] { return view_->History().ReadsShown() > reads_; }, 5s, ProcessEvents))
            << "the record was never read";
        reads_ = view_->History().ReadsShown();
        ProcessEventsFor(50ms);
    }

    // The history picture as the view's history holds it, drawn whole.
    QImage ExpectedHistory() {
        QImage expected(view_->ClientSize(), QImage::Format_RGB32);
        QPainter painter(&expected);
        HistoryPainter().Draw(painter, expected.width(), expected.height(), *view_->Fonts().FooterFont,
                              view_->History().Fonts(), view_->History().Picture());
        return expected;
    }

    const std::vector<std::string>& Figures() { return view_->History().Picture().Figures; }

    TimeZone zone_{CentralEuropeanZone};
    DataHome data_;
    LevelDatabase database_{data_.RecordPath()};
    int reads_ = 0;
};

struct CloseCase {
    const char* name;
    std::function<void(CChildView&)> close;
};

class HistorySwitch : public HistoryView, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(HistorySwitch, ShowsTheHistoryThenTheMeterAsBefore) {
    SeedRecord();
    MakeView(NoMeter);
    ShowView();
    const QImage meter = Expected(Copy(NoReading, "---", "---", FixedFooter));
    ASSERT_EQ(Shown(), meter);
    QTest::keyClick(view_.get(), Qt::Key_Escape);
    EXPECT_FALSE(view_->ShowsHistory()) << "Esc opened the history";

    OpenHistory();
    EXPECT_EQ(Shown(), ExpectedHistory());
    EXPECT_NE(Shown(), meter);
    GetParam().close(*view_);
    ProcessEventsFor(50ms);
    EXPECT_FALSE(view_->ShowsHistory());
    EXPECT_EQ(Shown(), meter) << "the meter picture did not come back as it was";
    EXPECT_FALSE(view_->History().RefreshTimer().isActive()) << "the history still reads";

    OpenHistory();  // and once more
    EXPECT_EQ(Shown(), ExpectedHistory());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, HistorySwitch,
    ::testing::Values(CloseCase{"HistoryAgain", [](CChildView& view) { view.OnCmdMsg(ID_VIEW_HISTORY); }},
                      CloseCase{"Esc", [](CChildView& view) { QTest::keyClick(&view, Qt::Key_Escape); }}),
    CaseName());

TEST_F(HistoryView, FiguresOfTheHostsRecord) {
    ASSERT_NO_FATAL_FAILURE(ShowSeededHistory());
    // The shift under way, 06:00-14:00 by default: 181 minutes at 88, 240 at 70 of it so far.
    EXPECT_EQ(Figures(), (std::vector<std::string>{"Shift 06:00-14:00", "Measured 7h 1m of 8h 0m",
                                                   "LAeq so far 84.4 dB(A)", "Dose used so far 77 %"}));
    EXPECT_EQ(view_->History().Picture().Minutes.size(), 480u) << "another host's minutes were counted";
}

TEST_F(HistoryView, NoRecordUnderAGermanLocale) {
    const ProcessLocale german(GermanLocale);
    ASSERT_TRUE(german.Active()) << GermanLocale << " is not generated";
    MakeView(NoMeter, [](Settings& settings) { settings.ShiftLenHours = 7.5; });
    ShowView();
    OpenHistory();
    EXPECT_EQ(Figures(), std::vector<std::string>{"No levels recorded in the last 7.5 h"});
    EXPECT_TRUE(view_->History().Picture().Reason.empty());
}

TEST_F(HistoryView, LockedRecordSaysWhyAndTheMeterGoesOn) {
    SeedRecord();
    ASSERT_NO_FATAL_FAILURE(database_.LockExclusively());
    MakeView(NoMeter);
    ShowView();
    OpenHistory();
    EXPECT_EQ(Figures(), std::vector<std::string>{"No levels recorded in the last 8.0 h"});
    EXPECT_NE(view_->History().Picture().Reason.find("locked"), std::string::npos);
    EXPECT_EQ(Shown(), ExpectedHistory());
    EXPECT_TRUE(view_->Timers().IsArmed(CChildView::PollTimer)) << "the poll timer stopped";
}

TEST_F(HistoryView, RepaintedOnceAMinuteAndAtASizeChangeNotAtTicks) {
    ASSERT_NO_FATAL_FAILURE(ShowSeededHistory());
    const QTimer& refresh = view_->History().RefreshTimer();
    ASSERT_TRUE(refresh.isActive());
    // 12:00:10 now: the next read at 12:01:02, just after the minute turns.
    EXPECT_GT(refresh.remainingTime(), 50000);
    EXPECT_LE(refresh.remainingTime(), 52000);

    const int paints = recorder_->Count();
    for (int tick = 0; tick < 3; ++tick)
        view_->OnTimer(CChildView::PollTimer);
    ProcessEventsFor(200ms);
    EXPECT_EQ(recorder_->Count(), paints) << "a tick repainted the history";

    view_->History().Refresh();  // what the minute's timer does
    ASSERT_TRUE(WaitUntil([&] { return view_->History().ReadsShown() > reads_; }, 5s, ProcessEvents));
    ProcessEventsFor(100ms);
    EXPECT_EQ(recorder_->Count(), paints + 1) << "the minute's read repaints once";
    EXPECT_TRUE(refresh.isActive());

    ResizeClient(1000, 700);
    ProcessEventsFor(100ms);
    EXPECT_GT(recorder_->Count(), paints + 1);
    EXPECT_EQ(view_->History().Fonts().FittedFor, QSize(1000, 700));
    EXPECT_EQ(Shown(), ExpectedHistory());
}

}  // namespace
