#include "view/history_loader.h"

#include "record/level_reader.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace {

// The minutes not yet written that the record does not hold, among `rows`, in order of start.
void AddUnwritten(std::vector<MinuteRow>& rows, const std::vector<MinuteRow>& unwritten, std::int64_t from,
                  std::int64_t to) {
    std::set<std::int64_t> recorded;
    for (const MinuteRow& row : rows)
        recorded.insert(row.Start);
    for (const MinuteRow& row : unwritten) {
        if (row.Start >= from && row.Start < to && !recorded.contains(row.Start))
            rows.push_back(row);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const MinuteRow& a, const MinuteRow& b) { return a.Start < b.Start; });
}

}  // namespace

HistoryRecord ReadHistory(const HistoryRequest& request, int busyTimeoutMs) {
    HistoryRecord record;
    std::int64_t from = request.Window.From;
    for (const std::optional<ShiftWindow>& shift : {request.Shift, request.Ended})
        if (shift)
            from = std::min(from, shift->From);
    const std::int64_t to = request.Window.To;
    std::error_code ignored;
    if (!request.Path.empty() && std::filesystem::exists(request.Path, ignored)) {
        LevelReader reader(request.Path, busyTimeoutMs);
        std::optional<std::vector<MinuteRow>> rows;
        if (reader.IsOpen())
            rows = reader.ReadMinutes({request.Host, from, to});
        if (rows) {
            record.Rows = std::move(*rows);
        } else {
            record.Readable = false;
            record.Error = reader.Error();
        }
    }
    AddUnwritten(record.Rows, request.Unwritten, from, to);
    return record;
}

HistoryLoader::HistoryLoader(Answer answer) : answer_(std::move(answer)) {}

HistoryLoader::~HistoryLoader() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    requested_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void HistoryLoader::Load(HistoryRequest request) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        pending_ = std::move(request);
    }
    requested_.notify_one();
    if (thread_.joinable())
        return;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error& failure) {
        // No thread to read on (the system's limit of threads or memory is reached): the
        // picture says so as for any other record it cannot read; the next request tries again.
        HistoryRecord record;
        record.Readable = false;
        record.Error = "no thread could be started to read it (" + failure.code().message() + ")";
        const std::lock_guard<std::mutex> hold(lock_);
        done_.emplace(std::move(*pending_), std::move(record));
        pending_.reset();
        QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
    }
}

void HistoryLoader::Run() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        requested_.wait(hold, [this] { return stop_ || pending_; });
        if (stop_)
            return;
        HistoryRequest request = std::move(*pending_);
        pending_.reset();
        hold.unlock();
        HistoryRecord record = ReadHistory(request);
        hold.lock();
        done_.emplace(std::move(request), std::move(record));
        hold.unlock();
        // The answer crosses under lock_, not inside the queued call, which Qt makes and reads
        // itself: the hand-over is one that ThreadSanitizer can follow. Runs on this object's
        // thread; a call still queued when the object goes is dropped.
        QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
        hold.lock();
    }
}

void HistoryLoader::Deliver() {
    std::optional<std::pair<HistoryRequest, HistoryRecord>> done;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        done.swap(done_);
    }
    if (done)
        answer_(done->first, std::move(done->second));
}
