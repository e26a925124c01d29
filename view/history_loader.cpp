#include "view/history_loader.h"

#include "record/level_reader.h"

#include <filesystem>
#include <system_error>

HistoryRecord ReadHistory(const HistoryRequest& request, int busyTimeoutMs) {
    HistoryRecord record;
    std::error_code ignored;
    if (request.Path.empty() || !std::filesystem::exists(request.Path, ignored))
        return record;  // nothing recorded yet
    LevelReader reader(request.Path, busyTimeoutMs);
    std::optional<std::vector<MinuteRow>> rows;
    if (reader.IsOpen())
        rows = reader.ReadMinutes({request.Host, request.Window.From, request.Window.To});
    if (!rows) {
        record.Readable = false;
        record.Error = reader.Error();
        return record;
    }
    record.Rows = std::move(*rows);
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
