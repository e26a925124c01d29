#pragma once
// The history picture as the meter view shows it. While it is open it reads the current
// host's record over the last ShiftLenHours hours, the shift under way and the one that just
// ended (kept between shifts and for the first minutes of the next) off the display's
// thread, with the minutes not yet written: when it opens, when the settings change, and once
// a minute, each time just after the minute has turned.
// Each read that comes back asks the view for one whole repaint; the view's poll ticks ask
// for none. Its fonts follow the client size.

#include "config/settings.h"
#include "exposure/shift_pattern.h"
#include "view/history_loader.h"
#include "view/history_painter.h"

#include <QObject>
#include <QSize>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class QPaintDevice;
class QPainter;

class HistoryScreen : public QObject {
    Q_OBJECT

public:
    // A refresh comes this long after the minute turns, so that the minute just ended is in
    // the record.
    static constexpr int RefreshDelaySeconds = 2;

    // The minutes of a host that the display has not written to its record yet.
    using UnwrittenMinutes = std::function<std::vector<MinuteRow>(const std::string& host)>;

    // `settings` (HostName, ShiftLenHours) outlive the screen; `repaint` asks for a paint
    // of the whole client; `unwritten` gives the minutes that count before they are written;
    // `recordsElsewhere` whether another display records, so that this one records nothing
    // (a note on the picture says so).
    HistoryScreen(const Settings& settings, std::function<void()> repaint, UnwrittenMinutes unwritten,
                  std::function<bool()> recordsElsewhere);

    // Opens the picture for a client of `client` size on `device`: fonts fitted, the chart's
    // frame at once and the record once it is read, then a read every minute.
    void Open(const QPaintDevice* device, QSize client);
    // Stops the reads; an answer still on its way is dropped.
    void Close();
    bool IsOpen() const { return open_; }

    // Reads again at once, for new settings (the shifts of the setting Shifts read again too):
    // the frame until the answer comes.
    void Reload();
    // The minute's read: reads again and arms the timer for the next minute.
    void Refresh();
    // A new client size: refits the fonts while the picture is open.
    void Resize(const QPaintDevice* device, QSize client);

    // Draws the picture for a client of `client` size; `footerFont` is the meter's.
    void Draw(QPainter& painter, QSize client, const QFont& footerFont);

    const HistoryPicture& Picture() const { return picture_; }
    const HistoryFonts& Fonts() const { return fonts_; }
    const QTimer& RefreshTimer() const { return refresh_; }
    // Reads whose answer reached the picture.
    int ReadsShown() const { return readsShown_; }

private:
    HistoryRequest MakeRequest() const;
    void Show(const HistoryRequest& request, const HistoryRecord& record);

    const Settings& settings_;
    std::function<void()> repaint_;
    UnwrittenMinutes unwritten_;
    std::function<bool()> recordsElsewhere_;
    ShiftPattern shifts_;
    std::string shiftsWarning_;  // the last said, so that each is said once
    HistoryLoader loader_;
    QTimer refresh_;
    HistoryRequest latest_;  // the last read asked for; answers to older ones are dropped
    HistoryPicture picture_;
    HistoryFonts fonts_;
    HistoryPainter painter_;
    bool open_ = false;
    int readsShown_ = 0;
};
