// The meter view's paint on Qt's offscreen platform, beside a bare copy of an image of the
// same size to a window, at 1920 x 1080 and 3840 x 2160:
//   BM_ViewPaint          one whole paint (compose the picture into the window's backing
//                         store) with the picture of the paint before;
//   BM_BareCopy           a copy of a whole image to the window;
//   BM_ViewPaintNewLevel  the paint of a tick: a new level polled from the meter simulator
//                         just before, so the level and dose texts are new and only they
//                         are repainted;
//   BM_BareCopyAfterPoll  the copy alone after the same poll, which leaves the caches as
//                         cold as they are for BM_ViewPaintNewLevel;
//   BM_PartialExpose      the paint of a 400 x 300 part of the view, as when a dialog is
//                         dragged over it, with the picture unchanged;
// and BM_RefitAfterResize, the refit of the fonts after a resize from 800 to 3840 pixels
// wide. Target: a paint costs at most twice the bare copy.
// The history picture of a day's record (1,440 minutes):
//   BM_HistoryPaint       drawing the whole picture into an image; target at most 20 ms at
//                         3840 x 2160;
//   BM_HistoryRead        reading the minutes from the database and working out the picture,
//                         as the history's thread and the display's thread do once a minute.
#include "config/settings_store.h"
#include "platform/sys/fixed_text.h"
#include "tests/support/level_database.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/qt_wait.h"
#include "tests/support/xdg_sandbox.h"
#include "view/child_view.h"
#include "view/history_loader.h"
#include "view/history_painter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

using namespace decimon::test;

namespace {

constexpr char NoMeter[] = "127.0.0.1:9";

// Settings for the views made from now on: the meter at `host`, one poll a minute.
void SaveSettingsFor(const std::string& host) {
    SaveMeterSettings(host, [](Settings& settings) {
        settings.PollingInterval = 60;
        settings.SnmpTimeout = 200;
    });
}

// A window whose paint only copies a prepared opaque image into itself.
class BareCopyWidget : public QWidget {
public:
    explicit BareCopyWidget(QSize size) : image_(size, QImage::Format_RGB32) {
        image_.fill(QColor(76, 177, 251));
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(size);
        show();
        ProcessEventsFor(std::chrono::milliseconds(50));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter window(this);
        window.drawImage(0, 0, image_);
    }

private:
    QImage image_;
};

// A shown view whose client area is width x height, on the settings saved last.
std::unique_ptr<CChildView> ShowView(int width, int height) {
    auto view = std::make_unique<CChildView>();
    view->resize(width + 2 * view->frameWidth(), height + 2 * view->frameWidth());
    view->show();
    ProcessEventsFor(std::chrono::milliseconds(50));
    return view;
}

// The meter simulator with a level that moves on by 0.1 dB at every poll, and a monitor
// (a view) that polls it.
class MovingLevel {
public:
    MovingLevel() { SaveSettingsFor(sim_.Agent()); }
    ~MovingLevel() { SaveSettingsFor(NoMeter); }

    // Sets the next level and waits until `monitor` has polled it.
    void PollNext(MeterMonitor& monitor) {
        tenths_ = tenths_ < 1100 ? tenths_ + 1 : 700;
        sim_.Set("level", "integer", std::to_string(tenths_));
        monitor.RequestPoll();
        while (monitor.PollPending())
            QThread::usleep(200);
    }

private:
    MeterSimProcess sim_;
    int tenths_ = 700;
};

QSize SizeOf(const benchmark::State& state) {
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
}

bool HasClient(benchmark::State& state, const CChildView& view) {
    if (view.ClientSize() == SizeOf(state) && !view.ShownImage().isNull())
        return true;
    state.SkipWithError("the view did not get its size");
    return false;
}

void BM_ViewPaint(benchmark::State& state) {
    const auto view = ShowView(SizeOf(state).width(), SizeOf(state).height());
    view->repaint();
    if (!HasClient(state, *view))
        return;
    for (auto _ : state)
        view->repaint(view->contentsRect());  // what a tick repaints
}

void BM_BareCopy(benchmark::State& state) {
    BareCopyWidget widget(SizeOf(state));
    for (auto _ : state)
        widget.repaint();
}

void BM_ViewPaintNewLevel(benchmark::State& state) {
    MovingLevel level;
    const auto view = ShowView(SizeOf(state).width(), SizeOf(state).height());
    if (!HasClient(state, *view))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        level.PollNext(*view);
        state.ResumeTiming();
        view->InvalidateChanges();  // what the tick asks for
        QCoreApplication::sendPostedEvents();
    }
}

void BM_PartialExpose(benchmark::State& state) {
    const auto view = ShowView(SizeOf(state).width(), SizeOf(state).height());
    view->repaint();
    if (!HasClient(state, *view))
        return;
    const QRect part(view->contentsRect().center(), QSize(400, 300));
    for (auto _ : state)
        view->repaint(part);
}

void BM_BareCopyAfterPoll(benchmark::State& state) {
    MovingLevel level;
    CChildView monitor;  // never shown: it only polls
    monitor.RequestFirstConnection();
    BareCopyWidget widget(SizeOf(state));
    for (auto _ : state) {
        state.PauseTiming();
        level.PollNext(monitor);
        state.ResumeTiming();
        widget.repaint();
    }
}

void BM_RefitAfterResize(benchmark::State& state) {
    const auto view = ShowView(800, 600);
    const int edge = 2 * view->frameWidth();
    for (auto _ : state) {
        state.PauseTiming();
        view->resize(800 + edge, 600 + edge);
        state.ResumeTiming();
        view->resize(3840 + edge, 600 + edge);  // the resize refits the three fonts
    }
    if (view->ClientSize().width() != 3840)
        state.SkipWithError("the resize did not reach the view");
}

constexpr std::int64_t Noon = 1764676800;  // 2025-12-02 12:00:00 UTC

// A day of minutes whose level moves by 0.1 dB from one to the next, in a fresh database.
class DayRecord {
public:
    DayRecord() {
        std::vector<MinuteRow> rows;
        for (int minute = 0; minute < 1440; ++minute) {
            const double level = 60.0 + (minute % 400) * 0.1;
            rows.push_back({"press", window_.From + 60 * minute, "dBA", 60, 60.0, level, level - 3.0, level + 3.0});
        }
        database_.Write(rows);
        record_.Rows = std::move(rows);
    }
    // As the wall asks: the window and the shift under way, of the default shifts.
    HistoryRequest Request() const { return {database_.Path().string(), "press", window_, shift_, {}, {}}; }
    HistoryPicture Picture() const { return MakeHistoryPicture(window_, "press", record_, shift_); }

private:
    HistoryWindow window_ = HistoryWindowAt(Noon, 24.0);
    std::optional<ShiftWindow> shift_ = ShiftAt(ShiftPattern::Default(8.0), Noon);
    decimon::test::LevelDatabase database_;
    HistoryRecord record_;
};

void BM_HistoryPaint(benchmark::State& state) {
    const QSize size = SizeOf(state);
    const HistoryPicture picture = DayRecord().Picture();
    QImage image(size, QImage::Format_RGB32);
    HistoryFonts fonts;
    FitHistoryFonts(&image, size.width(), size.height(), fonts);
    FontSlot footer;
    CreateViewFont(12, footer);
    HistoryPainter painter;
    for (auto _ : state) {
        QPainter onImage(&image);
        painter.Draw(onImage, size.width(), size.height(), *footer, fonts, picture);
    }
}

void BM_HistoryRead(benchmark::State& state) {
    const DayRecord day;
    const HistoryRequest request = day.Request();
    for (auto _ : state) {
        const HistoryPicture picture = MakeHistoryPicture(request.Window, request.Host, ReadHistory(request));
        if (picture.Minutes.size() != 1440) {
            state.SkipWithError("the record was not read whole");
            return;
        }
    }
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_ViewPaint)->Apply(Sizes);
BENCHMARK(BM_BareCopy)->Apply(Sizes);
BENCHMARK(BM_ViewPaintNewLevel)->Apply(Sizes);
BENCHMARK(BM_BareCopyAfterPoll)->Apply(Sizes);
BENCHMARK(BM_PartialExpose)->Apply(Sizes);
BENCHMARK(BM_RefitAfterResize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HistoryPaint)->Apply(Sizes);
BENCHMARK(BM_HistoryRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's time per iteration (the median when repeated), so that the
// ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || median))
                perIteration_[run.run_name.str()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const std::string& paint, const std::string& copy, const std::string& size) const {
        const auto paintTime = perIteration_.find(paint + "/" + size + "/real_time");
        const auto copyTime = perIteration_.find(copy + "/" + size + "/real_time");
        if (paintTime == perIteration_.end() || copyTime == perIteration_.end())
            return;
        const double ratio = paintTime->second / copyTime->second;
        std::printf("%-20s / %-20s at %s: %5.2f (target at most 2.00)%s\n", paint.c_str(), copy.c_str(), size.c_str(),
                    ratio, ratio <= 2.0 ? "" : "  OVER TARGET");
    }

    void PrintLimit(const std::string& run, double milliseconds) const {
        const auto time = perIteration_.find(run);
        if (time == perIteration_.end())
            return;
        std::printf("%-40s: %6.2f ms (target at most %.2f ms)%s\n", run.c_str(), time->second, milliseconds,
                    time->second <= milliseconds ? "" : "  OVER TARGET");
    }

private:
    std::map<std::string, double> perIteration_;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);

    // A private settings file: a view's worker must never look up the default host.
    XdgSandbox sandbox;
    SaveSettingsFor(NoMeter);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* size : {"1920/1080", "3840/2160"}) {
        reporter.PrintRatio("BM_ViewPaint", "BM_BareCopy", size);
        reporter.PrintRatio("BM_ViewPaintNewLevel", "BM_BareCopyAfterPoll", size);
    }
    reporter.PrintLimit("BM_HistoryPaint/3840/2160/real_time", 20.0);
    benchmark::Shutdown();
    return 0;
}
