#include "metrics/header_deadlines.h"

#include <sys/socket.h>

#include <algorithm>

HeaderDeadlines::HeaderDeadlines(Clock::duration bound) : bound_(bound), watcher_([this] { Watch(); }) {}

HeaderDeadlines::~HeaderDeadlines() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_one();
    watcher_.join();
}

void HeaderDeadlines::Opened(const void* connection, int socket) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        connections_[connection] = Waiting{socket, Clock::now() + bound_};
    }
    changed_.notify_one();
}

void HeaderDeadlines::HeadersIn(const void* connection) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const auto found = connections_.find(connection); found != connections_.end())
        found->second.deadline = Clock::time_point::max();
}

void HeaderDeadlines::Answered(const void* connection) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const auto found = connections_.find(connection); found != connections_.end())
            found->second.deadline = Clock::now() + bound_;
    }
    changed_.notify_one();
}

void HeaderDeadlines::Closed(const void* connection) {
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.erase(connection);
}

void HeaderDeadlines::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!ending_) {
        const Clock::time_point now = Clock::now();
        Clock::time_point nearest = Clock::time_point::max();
        for (auto& [connection, waiting] : connections_) {
            if (waiting.deadline <= now) {
                // Under the lock: the socket cannot be closed (and its number reused) meanwhile.
                shutdown(waiting.socket, SHUT_RDWR);
                waiting.deadline = Clock::time_point::max();
            }
            nearest = std::min(nearest, waiting.deadline);
        }
        if (nearest == Clock::time_point::max())
            changed_.wait(lock);
        else
            changed_.wait_until(lock, nearest);
    }
}
