#pragma once
// Reads one host's record over a window of minutes on a thread of its own, so that a slow,
// locked or broken database never holds up the display: the answer comes back to the
// loader's thread (the display's) as a queued call. Answers do not queue up: one that the
// display has not taken yet is replaced by a newer one.

#include "chart/history_picture.h"

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct HistoryRequest {
    std::string Path;  // the database; empty when there is none
    std::string Host;
    HistoryWindow Window;
    std::optional<ShiftWindow> Shift;  // the shift under way, whose minutes are read too
    // The host's minutes the display has not written yet, which count as if they had been.
    std::vector<MinuteRow> Unwritten;
    std::optional<ShiftWindow> Ended;  // the shift that just ended, kept on the wall: its minutes too
};

// A read waits at most this long for another process's lock on the database.
inline constexpr int HistoryBusyTimeoutMs = 250;

// Reads `request` on the calling thread: the minutes of the window and of the shifts, those not
// yet written among them where the record has none of their start. No path or no file holds
// no minutes but those; a database that cannot be opened or read gives Readable false and
// SQLite's reason.
HistoryRecord ReadHistory(const HistoryRequest& request, int busyTimeoutMs = HistoryBusyTimeoutMs);

class HistoryLoader : public QObject {
    Q_OBJECT

public:
    using Answer = std::function<void(const HistoryRequest& request, HistoryRecord record)>;

    explicit HistoryLoader(Answer answer);
    // Waits for a read under way: at most the busy time-out and the read itself.
    ~HistoryLoader() override;

    // Asks for a read; a request that has not begun yet is replaced. The answer runs on this
    // object's thread, from its event loop. The thread starts at the first request; when it
    // cannot, the answer is a record that cannot be read, and the next request tries again.
    void Load(HistoryRequest request);

private:
    void Run();
    // Takes the newest answer, if the display has not taken it yet, and hands it on.
    Q_INVOKABLE void Deliver();

    Answer answer_;
    std::mutex lock_;
    std::condition_variable requested_;
    std::optional<HistoryRequest> pending_;                         // guarded by lock_
    std::optional<std::pair<HistoryRequest, HistoryRecord>> done_;  // guarded by lock_
    bool stop_ = false;                                             // guarded by lock_
    std::thread thread_;
};
