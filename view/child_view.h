#pragma once
// The meter view: the window that paints the meter and owns the monitoring engine. Its
// poll timer (13101) is the heartbeat of the program: every tick asks the worker for a
// poll, refreshes the diagnostics dialog and repaints the view. The History command puts
// the history picture in the meter picture's place until it is given again (or Esc); the
// poll and the ticks go on behind it, but only the history's own reads repaint it.

#include "config/dialogs/configure_command.h"
#include "monitor/meter_monitor.h"
#include "platform/qt/window_timer.h"
#include "view/history_screen.h"
#include "view/meter_painter.h"

#include <QFont>
#include <QFrame>
#include <QImage>
#include <QRegion>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class CDiagDlg;
class MetricsEndpoint;

class CChildView : public QFrame, public MeterMonitor, private PollTimerControl {
    Q_OBJECT

public:
    static constexpr unsigned PollTimer = 13101;
    static constexpr int FirstPollDelayMs = 500;

    // Monitor state, settings, fonts and the running worker; no window work yet (the first
    // paint does that).
    explicit CChildView(QWidget* parent = nullptr);
    ~CChildView() override;

    // The shut-down of the view's window: stops the poll timer, stops the worker (waiting
    // for it without limit), then destroys the diagnostics dialog, the fonts and the back
    // buffer. Runs once; the destructor calls it too. Afterwards the view paints nothing.
    void OnDestroy();

    // Commands routed to the view by the frame; true when the view handled the command.
    bool OnCmdMsg(int commandId);
    // Shows or hides the diagnostics dialog (once it exists) and keeps the focus here.
    void OnDiagnostics();
    // The Configure command: password gate, configuration dialog, and the new settings taken
    // over, saved and applied; then the whole view is repainted (and the history read again).
    void OnConfigure();
    // The History command: switches between the meter picture and the history picture.
    void OnHistory();
    bool ShowsHistory() const { return history_.IsOpen(); }

    // The window-timer handler: the poll timer's tick; any other identifier changes nothing.
    void OnTimer(unsigned id);
    // The tick's repaint request: only where the picture of the state now differs from the
    // one the client shows; nothing when they are the same, or while the history shows.
    void InvalidateChanges();

    // Refits the label, level and banner fonts to the current client width.
    void RefitFonts();

    // The client size from the last resize: the area inside the sunken edge.
    QSize ClientSize() const { return {ClientWidth, ClientHeight}; }
    const ViewFonts& Fonts() const { return fonts_; }
    // What the client area shows now: its part of the window's backing store, the one
    // off-screen image the view paints into; null when the window has none.
    QImage ShownImage() const;
    CDiagDlg* DiagnosticsDialog() const { return DiagDialog.get(); }
    const WindowTimers& Timers() const { return timers_; }
    HistoryScreen& History() { return history_; }
    bool InTick() const { return InTimerTick != 0; }

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The first paint's start-up: the hidden diagnostics dialog, the poll timer at 500 ms,
    // the worker's first connection and the keyboard focus.
    void StartUp();
    // What the client area shows: a picture, and the size and fonts it was drawn for.
    struct ShownPicture {
        QSize Size;
        std::array<QFont, 4> Fonts;
        MeterPicture Picture;
    };
    // The picture of the monitor state and the settings now.
    ShownPicture CurrentPicture() const;
    // Whether the client shows a picture of the size and fonts of `next`.
    bool ShowsFrameOf(const ShownPicture& next) const;
    // Where the client must be drawn again to show `next`, in client coordinates: the
    // texts that changed, or all of it when more changed.
    QRegion AreaToRepaint(const ShownPicture& next);
    // The part of `changed` (client coordinates) that a paint of `region` (view
    // coordinates) leaves out. Only what is visible counts: a paint's region never reaches
    // what lies under a child window (the diagnostics dialog) or outside the parent.
    QRegion MissedBy(const QRegion& region, const QRegion& changed) const;
    // The paints of the two pictures into the client.
    void PaintMeter(QPainter& window, const QPaintEvent& event);
    void PaintHistory(QPainter& window);

    void KillPollTimer() override;
    bool InPollTimerTick() const override;
    void SetPollTimer(int milliseconds) override;

    WindowTimers timers_;
    ViewFonts fonts_;
    MeterPainter painter_;
    HistoryScreen history_;
    std::unique_ptr<CDiagDlg> DiagDialog;
    // Started after the worker and ended before it: a scrape reads the worker's record.
    std::unique_ptr<MetricsEndpoint> metrics_;
    std::optional<ShownPicture> shown_;  // none before the first paint
    bool drewShownAfterChange_ = false;  // the last paint missed part of a change
    int ClientWidth = 0;
    int ClientHeight = 0;
    std::int32_t FirstPaintPending = 0;
    std::int32_t InTimerTick = 0;
    bool destroyed_ = false;
};
