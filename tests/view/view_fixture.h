#pragma once
// The fixture of the meter view's tests: a view on a private settings file, shown with a
// client of a given size, its paints recorded, and the pictures it is expected to show.

#include "config/settings_store.h"
#include "monitor/dose.h"
#include "monitor/polling_worker.h"
#include "platform/sys/fixed_text.h"
#include "tests/support/fake_clocks.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"
#include "tests/support/qt_wait.h"
#include "tests/support/xdg_sandbox.h"
#include "view/child_view.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace decimon::test {

using namespace std::chrono_literals;

inline constexpr char NoMeter[] = "127.0.0.1:9";

// Records the regions of the paint events the watched widget receives.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget& widget) { widget.installEventFilter(this); }
    int Count() const { return static_cast<int>(regions_.size()); }
    const QRegion& Last() const { return regions_.back(); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            regions_.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }

private:
    std::vector<QRegion> regions_;
};

// A view that never gets a paint region covering its blind spot (view coordinates): every
// paint event reaches it without those pixels, as from a window system that leaves them out.
class BlindSpotView : public CChildView {
public:
    void SetBlindSpot(const QRect& spot) { blindSpot_ = spot; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPaintEvent narrowed(event->region() - blindSpot_);
        CChildView::paintEvent(&narrowed);
    }

private:
    QRect blindSpot_;
};

inline PaintCopy Copy(double level, const char* weighting, const std::string& dose, const std::string& footer) {
    PaintCopy copy;
    copy.CurrentLevel = level;
    CopyFixedText(copy.WeightingText, weighting);
    CopyFixedText(copy.DoseText, dose);
    CopyFixedText(copy.FooterText, footer);
    return copy;
}

class ViewTest : public ::testing::Test {
protected:
    void TearDown() override {
        recorder_.reset();
        view_.reset();
    }

    // Saves the settings (the factory defaults for `host`, then `adjust`) and builds a view.
    template <typename View = CChildView>
    void MakeView(const std::string& host, const std::function<void(Settings&)>& adjust = {}) {
        SaveMeterSettings(host, [&](Settings& settings) {
            settings.SnmpTimeout = 100;
            settings.SnmpRetries = 0;
            settings.PollingInterval = 60;  // one tick only, unless a test wants more
            if (adjust)
                adjust(settings);
        });
        view_ = std::make_unique<View>();
        recorder_ = std::make_unique<PaintRecorder>(*view_);
    }

    // Gives the view a client area of width x height inside its edge.
    void ResizeClient(int width, int height) {
        view_->resize(width + 2 * view_->frameWidth(), height + 2 * view_->frameWidth());
    }

    // Shows the view with an 800 x 600 client and waits for its first paint.
    void ShowView(int width = 800, int height = 600) {
        ResizeClient(width, height);
        view_->show();
        ASSERT_TRUE(WaitUntil([&] { return recorder_->Count() > 0; }, 5s, ProcessEvents));
    }

    void Repaint() { view_->repaint(); }

    // The whole picture of `shown` as a paint of the client draws it, at `size`.
    QImage Expected(const PaintCopy& shown, QSize size = {800, 600}) const {
        QImage expected(size, QImage::Format_RGB32);
        QPainter painter(&expected);
        MeterPainter().Draw(painter, size.width(), size.height(), view_->Fonts(),
                            MakeMeterPicture(shown, view_->CurrentSettings()));
        return expected;
    }

    // What the client shows, in the format of Expected.
    QImage Shown() const { return view_->ShownImage().convertToFormat(QImage::Format_RGB32); }

    // The simulator's values as the view shows them after a poll of `level` (LevelOffset 0).
    static PaintCopy Reading(double level) {
        return Copy(level, "dBA", FormatTimeToLimit(level, 0, 8.0), ComposeFooter("Press shop", "Hall 3"));
    }
    static void SetReadingNames(MeterSimProcess& sim) {
        sim.Set("weighting", "integer", "1");
        sim.Set("name", "octetstring", "Press shop");
        sim.Set("location", "octetstring", "Hall 3");
    }
    // `image` with the `hidden` part of the client blacked out.
    static QImage Masked(QImage image, const QRegion& hidden) {
        QPainter painter(&image);
        for (const QRect& rect : hidden)
            painter.fillRect(rect, Qt::black);
        return image;
    }

    // Sets the simulator's level (in tenths of a decibel) and has the worker poll it now,
    // after the poll that may be running (which may have read the level before).
    void PollLevel(MeterSimProcess& sim, const char* tenths) {
        ASSERT_TRUE(WaitUntil([&] { return !view_->PollPending(); }, 3000ms)) << "a poll never ends";
        sim.Set("level", "integer", tenths);
        view_->RequestPoll();
        ASSERT_TRUE(WaitUntil([&] { return !view_->PollPending(); }, 3000ms)) << "no poll";
    }
    // A tick of the poll timer: how many paints follow it within 200 ms.
    int PaintsOfTick() {
        const int before = recorder_->Count();
        view_->OnTimer(CChildView::PollTimer);
        ProcessEventsFor(200ms);
        return recorder_->Count() - before;
    }

    // The largest multiple of 4 whose rendering of `text` is narrower than `target`.
    static int LargestFittingHeight(const QString& text, int target) {
        int height = 0;
        for (int next = 4;; next += 4) {
            QFont font(QStringLiteral("Veranda"));
            font.setPixelSize(next);
            font.setWeight(QFont::Black);
            if (TextWidth(QFontMetrics(font), text) >= target)
                return height;
            height = next;
        }
    }

    XdgSandbox xdg_;
    std::unique_ptr<QWidget> parent_;   // of a view that is not a window of its own
    std::optional<FakeClocks> clocks_;  // for the tests that set them; outlives the view's worker
    std::unique_ptr<CChildView> view_;
    std::unique_ptr<PaintRecorder> recorder_;
};

}  // namespace decimon::test
