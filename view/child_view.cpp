#include "view/child_view.h"

#include "diag/diag_dlg.h"
#include "metrics/metrics_endpoint.h"
#include "platform/qt/code_page.h"
#include "platform/sys/steady_clock.h"
#include "res/app_resources.h"

#include <QBackingStore>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr int LabelFontHeight = 32;
constexpr int LevelFontHeight = 40;
constexpr int WarningFontHeight = 32;
constexpr int FooterFontHeight = 12;

}  // namespace

CChildView::CChildView(QWidget* parent)
    : QFrame(parent),
      timers_([this](unsigned id) { OnTimer(id); }, nullptr),
      history_(
          CurrentSettings(), [this] { update(contentsRect()); },
          [this](const std::string& host) { return UnwrittenMinutes(host); }, [this] { return RecordsElsewhere(); }) {
    // The monitoring side is set up by now: lock, start time, defaults, settings.
    CreateViewFont(LabelFontHeight, fonts_.LabelFont);
    CreateViewFont(LevelFontHeight, fonts_.LevelFont);
    CreateViewFont(WarningFontHeight, fonts_.WarningFont);
    CreateViewFont(FooterFontHeight, fonts_.FooterFont);
    StartWorker();  // without a thread the view shows its defaults for its whole life
    metrics_ = StartMetricsEndpoint(*this);
    FirstPaintPending = 1;

    // A sunken client edge, the arrow cursor, and no background erase before a paint: the
    // paint draws every pixel it covers.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);  // the view is where the keyboard focus rests
}

CChildView::~CChildView() {
    OnDestroy();
}

void CChildView::OnDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    timers_.KillTimer(PollTimer);
    history_.Close();
    metrics_.reset();
    StopWorker();
    if (DiagDialog) {
        DiagDialog->DestroyWindow();
        DiagDialog.reset();
    }
    fonts_ = ViewFonts{};
    shown_.reset();
}

bool CChildView::OnCmdMsg(int commandId) {
    switch (commandId) {
    case ID_OPTIONS_CONFIGURE:
        OnConfigure();
        return true;
    case ID_OPTIONS_DIAGNOSTICS:
        OnDiagnostics();
        return true;
    case ID_VIEW_HISTORY:
        OnHistory();
        return true;
    default:
        return false;
    }
}

void CChildView::OnDiagnostics() {
    if (DiagDialog)
        DiagDialog->ShowWindow(!DiagDialog->IsWindowVisible());
    setFocus();
}

void CChildView::OnConfigure() {
    RunConfigureCommand(this, *this, *this);
    if (history_.IsOpen())
        history_.Reload();  // the host or the shift may have changed
    update();
}

void CChildView::OnHistory() {
    if (destroyed_)
        return;
    if (history_.IsOpen()) {
        history_.Close();
    } else {
        history_.Open(this, ClientSize());
        shown_.reset();  // the client shows no meter picture now
    }
    update(contentsRect());
}

void CChildView::keyPressEvent(QKeyEvent* event) {
    if (history_.IsOpen() && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        OnHistory();
        return;
    }
    QFrame::keyPressEvent(event);
}

void CChildView::KillPollTimer() {
    timers_.KillTimer(PollTimer);
}

bool CChildView::InPollTimerTick() const {
    return InTimerTick != 0;
}

void CChildView::SetPollTimer(int milliseconds) {
    timers_.SetTimer(PollTimer, milliseconds);
}

void CChildView::OnTimer(unsigned id) {
    InTimerTick = 1;
    if (id == PollTimer) {
        timers_.SetTimer(PollTimer, PollTimerMilliseconds(CurrentSettings().PollingInterval));
        RequestPoll();
        if (DiagDialog) {  // shown or hidden, so that it shows current values when opened
            const DiagnosticsCopy statistics = CopyForDiagnostics();
            DiagDialog->TakeStatistics(statistics, SteadyClock::SpanSince(statistics.StartSteadyTime));
            DiagDialog->RefreshDisplay();
        }
        InvalidateChanges();
    }
    InTimerTick = 0;
}

void CChildView::InvalidateChanges() {
    if (history_.IsOpen())  // the history has its own cadence
        return;
    const QRegion changed = AreaToRepaint(CurrentPicture());
    if (!changed.isEmpty())
        update(changed.translated(contentsRect().topLeft()));
}

void CChildView::RefitFonts() {
    if (destroyed_)
        return;
    FitWallFonts(this, ClientWidth, painter_.Texts(), fonts_);
}

void CChildView::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() != QEvent::LanguageChange || destroyed_)
        return;
    painter_.SetTexts(WallTexts::Translated());
    if (ClientWidth != 0)
        RefitFonts();
    shown_.reset();  // the labels changed: the next paint draws everything
    update(contentsRect());
}

void CChildView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect client = contentsRect();
    ClientWidth = std::max(client.width(), 0);
    ClientHeight = std::max(client.height(), 0);
    if (ClientWidth != 0)
        RefitFonts();
    history_.Resize(this, ClientSize());
}

void CChildView::StartUp() {
    FirstPaintPending = 0;
    DiagDialog = std::make_unique<CDiagDlg>(this, this);
    DiagDialog->Create(this);
    timers_.SetTimer(PollTimer, FirstPollDelayMs);
    RequestFirstConnection();
    setFocus();
}

CChildView::ShownPicture CChildView::CurrentPicture() const {
    return {QSize(ClientWidth, ClientHeight),
            {*fonts_.LabelFont, *fonts_.LevelFont, *fonts_.WarningFont, *fonts_.FooterFont},
            MakeMeterPicture(CopyForPainting(), CurrentSettings())};
}

bool CChildView::ShowsFrameOf(const ShownPicture& next) const {
    return shown_ && shown_->Size == next.Size && shown_->Fonts == next.Fonts;
}

QRegion CChildView::AreaToRepaint(const ShownPicture& next) {
    if (!ShowsFrameOf(next))
        return QRect(QPoint(0, 0), next.Size);
    return painter_.ChangedArea(this, ClientWidth, ClientHeight, fonts_, shown_->Picture, next.Picture);
}

QRegion CChildView::MissedBy(const QRegion& region, const QRegion& changed) const {
    const QPoint origin = contentsRect().topLeft();
    return (changed & visibleRegion().translated(-origin)) - region.translated(-origin);
}

QImage CChildView::ShownImage() const {
    QBackingStore* store = backingStore();
    const QPaintDevice* device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return {};
    return static_cast<const QImage*>(device)->copy(contentsRect().translated(mapTo(window(), QPoint(0, 0))));
}

// The window's backing store is the off-screen image: it keeps every pixel from one paint
// to the next and goes to the screen in one copy, so the view draws into it directly and
// only where the paint's region says.
void CChildView::paintEvent(QPaintEvent* event) {
    if (destroyed_)
        return;
    if (FirstPaintPending)
        StartUp();
    const QRect client = contentsRect();
    QPainter window(this);
    if (ClientWidth > 0 && ClientHeight > 0) {
        if (history_.IsOpen())
            PaintHistory(window);
        else
            PaintMeter(window, *event);
    }
    if (!client.contains(event->rect()))  // the edge only when it needs painting
        drawFrame(&window);
}

void CChildView::PaintMeter(QPainter& window, const QPaintEvent& event) {
    const QRect client = contentsRect();
    ShownPicture next = CurrentPicture();
    const QRegion changed = AreaToRepaint(next);
    const QRegion missed = MissedBy(event.region(), changed);
    // A paint that misses part of what changed draws the picture shown so far, so that
    // the client never shows pieces of two pictures, and asks for a paint of the change.
    // The paint after it draws the new picture even if it misses too: a window system
    // may never hand the view a region that covers the change, and the new values must
    // still reach the screen.
    const bool drawNext = missed.isEmpty() || !ShowsFrameOf(next) || drewShownAfterChange_;
    window.save();
    window.setClipRect(client);  // long texts must not run over the edge
    window.translate(client.topLeft());
    painter_.Draw(window, ClientWidth, ClientHeight, fonts_, drawNext ? next.Picture : shown_->Picture);
    window.restore();
    const QRegion rest = drawNext ? missed : changed;
    drewShownAfterChange_ = !drawNext;
    if (drawNext)
        shown_ = std::move(next);
    if (!rest.isEmpty())
        update(rest.translated(client.topLeft()));
}

// The history picture is drawn whole at every paint, clipped to the paint's region: it
// changes only when a read comes back, once a minute.
void CChildView::PaintHistory(QPainter& window) {
    const QRect client = contentsRect();
    window.save();
    window.setClipRect(client);
    window.translate(client.topLeft());
    history_.Draw(window, ClientSize(), *fonts_.FooterFont);
    window.restore();
}
