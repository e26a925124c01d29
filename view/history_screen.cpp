#include "view/history_screen.h"

#include "exposure/level_math.h"
#include "exposure/site_shifts.h"
#include "platform/sys/fixed_text.h"
#include "platform/sys/ole_date_time.h"
#include "record/level_schema.h"

#include <QPainter>

#include <cstdio>

namespace {

bool SameRead(const HistoryRequest& a, const HistoryRequest& b) {
    return a.Path == b.Path && a.Host == b.Host && a.Window.From == b.Window.From && a.Window.To == b.Window.To;
}

}  // namespace

HistoryScreen::HistoryScreen(const Settings& settings, std::function<void()> repaint, UnwrittenMinutes unwritten,
                             std::function<bool()> recordsElsewhere)
    : settings_(settings),
      repaint_(std::move(repaint)),
      unwritten_(std::move(unwritten)),
      recordsElsewhere_(std::move(recordsElsewhere)),
      loader_([this](const HistoryRequest& request, HistoryRecord record) { Show(request, record); }) {
    refresh_.setSingleShot(true);
    refresh_.setTimerType(Qt::PreciseTimer);  // a coarse one may come before the minute turns
    connect(&refresh_, &QTimer::timeout, this, &HistoryScreen::Refresh);
}

void HistoryScreen::Open(const QPaintDevice* device, QSize client) {
    open_ = true;
    Resize(device, client);
    Reload();
}

void HistoryScreen::Close() {
    open_ = false;
    refresh_.stop();
}

HistoryRequest HistoryScreen::MakeRequest() const {
    const std::int64_t now = COleDateTime::GetCurrentCalendarTime();
    std::string host(FixedTextView(settings_.HostName));
    std::vector<MinuteRow> unwritten = unwritten_(host);
    const std::optional<ShiftWindow> shift = ShiftAt(shifts_, now);
    return {DefaultLevelDatabasePath(),
            std::move(host),
            HistoryWindowAt(now, settings_.ShiftLenHours),
            shift,
            std::move(unwritten),
            KeptShift(shifts_, now, shift)};
}

void HistoryScreen::Reload() {
    std::string warning;
    shifts_ = LoadSiteShifts(settings_.ShiftLenHours, warning);
    if (!warning.empty() && warning != shiftsWarning_)
        std::fprintf(stderr, "decimon: %s\n", warning.c_str());
    shiftsWarning_ = warning;
    const HistoryRequest request = MakeRequest();
    picture_ = MakeHistoryFrame(request.Window, request.Host);
    repaint_();
    Refresh();
}

void HistoryScreen::Refresh() {
    if (!open_)
        return;
    latest_ = MakeRequest();
    loader_.Load(latest_);
    // The next read just after the next minute begins.
    const std::int64_t now = COleDateTime::GetCurrentCalendarTime();
    const std::int64_t next = MinuteStart(now - RefreshDelaySeconds) + SecondsPerMinute + RefreshDelaySeconds;
    refresh_.start(static_cast<int>((next - now) * 1000));
}

void HistoryScreen::Show(const HistoryRequest& request, const HistoryRecord& record) {
    if (!open_ || !SameRead(request, latest_))
        return;
    picture_ = MakeHistoryPicture(request.Window, request.Host, record, request.Shift, request.Ended);
    if (recordsElsewhere_())
        picture_.Note = RecordsElsewhereNote;
    ++readsShown_;
    repaint_();
}

void HistoryScreen::Resize(const QPaintDevice* device, QSize client) {
    if (open_ && client.width() > 0 && client.height() > 0)
        FitHistoryFonts(device, client.width(), client.height(), fonts_);
}

void HistoryScreen::Draw(QPainter& painter, QSize client, const QFont& footerFont) {
    FitHistoryFonts(painter.device(), client.width(), client.height(), fonts_);  // fitted by Resize already
    painter_.Draw(painter, client.width(), client.height(), footerFont, fonts_, picture_);
}
