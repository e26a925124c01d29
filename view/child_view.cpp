#include "view/child_view.h"

#include "diag/diag_dlg.h"
#include "platform/qt/code_page.h"
#include "platform/sys/ole_date_time.h"
#include "res/app_resources.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr int LabelFontHeight = 32;
constexpr int LevelFontHeight = 40;
constexpr int WarningFontHeight = 32;
constexpr int FooterFontHeight = 12;

// The picture is opaque; RGB32 is the format of the window's backing store on X11 and on
// the offscreen platform, so the copy to the window is a plain memory copy.
constexpr QImage::Format BackBufferFormat = QImage::Format_RGB32;

}  // namespace

CChildView::CChildView(QWidget* parent) : QFrame(parent), timers_([this](unsigned id) { OnTimer(id); }, nullptr) {
    // The monitoring side is set up by now: lock, start time, defaults, settings.
    CreateViewFont(LabelFontHeight, fonts_.LabelFont);
    CreateViewFont(LevelFontHeight, fonts_.LevelFont);
    CreateViewFont(WarningFontHeight, fonts_.WarningFont);
    CreateViewFont(FooterFontHeight, fonts_.FooterFont);
    StartWorker();  // without a thread the view shows its defaults for its whole life
    FirstPaintPending = 1;

    // A sunken client edge, the arrow cursor, and no background erase before a paint: the
    // paint covers the whole client area from the back buffer.
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
    StopWorker();
    if (DiagDialog) {
        DiagDialog->DestroyWindow();
        DiagDialog.reset();
    }
    fonts_ = ViewFonts{};
    BackBuffer.reset();
}

bool CChildView::OnCmdMsg(int commandId) {
    switch (commandId) {
    case ID_OPTIONS_CONFIGURE:
        OnConfigure();
        return true;
    case ID_OPTIONS_DIAGNOSTICS:
        OnDiagnostics();
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
    update();
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
            DiagDialog->TakeStatistics(statistics, COleDateTime::GetCurrentTime() - statistics.StartTime);
            DiagDialog->RefreshDisplay();
        }
        update(contentsRect());  // the client area, inside the sunken edge
    }
    InTimerTick = 0;
}

void CChildView::RefitFonts() {
    if (destroyed_)
        return;
    const FitTargets targets = ComputeFitTargets(ClientWidth);
    FitFontToWidth(this, fonts_.LabelFont, FromCodePage(LevelLabel), targets.Label);
    FitFontToWidth(this, fonts_.LevelFont, FromCodePage(LevelSample), targets.Level);
    FitFontToWidth(this, fonts_.WarningFont, FromCodePage(WarningSample), targets.Warning);
}

void CChildView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect client = contentsRect();
    ClientWidth = std::max(client.width(), 0);
    ClientHeight = std::max(client.height(), 0);
    if (ClientWidth != 0)
        RefitFonts();
}

void CChildView::StartUp() {
    FirstPaintPending = 0;
    DiagDialog = std::make_unique<CDiagDlg>(this, this);
    DiagDialog->Create(this);
    timers_.SetTimer(PollTimer, FirstPollDelayMs);
    RequestFirstConnection();
    setFocus();
}

bool CChildView::PrepareBackBuffer() {
    if (BackBuffer && (BackBufferWidth != ClientWidth || BackBufferHeight != ClientHeight))
        BackBuffer.reset();
    if (!BackBuffer && ClientWidth > 0 && ClientHeight > 0) {
        BackBuffer = std::make_unique<QImage>(ClientWidth, ClientHeight, BackBufferFormat);
        if (BackBuffer->isNull()) {  // out of memory: paint nothing rather than crash
            BackBuffer.reset();
            return false;
        }
        BackBufferWidth = ClientWidth;
        BackBufferHeight = ClientHeight;
        ++backBuffersMade_;
    }
    return BackBuffer != nullptr;
}

void CChildView::paintEvent(QPaintEvent* event) {
    if (destroyed_)
        return;
    if (FirstPaintPending)
        StartUp();
    const MeterPicture picture = MakeMeterPicture(CopyForPainting(), CurrentSettings());

    QPainter window(this);
    if (PrepareBackBuffer()) {
        {
            QPainter memory(BackBuffer.get());
            painter_.Draw(memory, ClientWidth, ClientHeight, fonts_, picture);
        }
        window.drawImage(contentsRect().topLeft(), *BackBuffer);
    }
    if (!contentsRect().contains(event->rect()))  // the edge only when it needs painting
        drawFrame(&window);
}
