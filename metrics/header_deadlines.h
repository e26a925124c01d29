#pragma once
// A bound on the time a request's headers may take on the endpoint's connections. The HTTP
// library's own timeout counts idle time only and starts again with every byte, so a client
// that trickles a byte every few seconds would hold its connection for ever. This keeps a
// deadline for each connection that waits for a request (from its start, and again after each
// answer) and shuts down the socket of one still waiting when the deadline passes: the library
// then sees its peer gone and closes it as usual. Its thread sleeps until the nearest deadline.
// The connections are the library's, known here by their address alone.

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class HeaderDeadlines {
public:
    using Clock = std::chrono::steady_clock;

    explicit HeaderDeadlines(Clock::duration bound);
    // Ends the thread; the connections it still knows are left to their owner.
    ~HeaderDeadlines();
    HeaderDeadlines(const HeaderDeadlines&) = delete;
    HeaderDeadlines& operator=(const HeaderDeadlines&) = delete;

    // The connection on `socket` has opened and waits for its first request.
    void Opened(const void* connection, int socket);
    // Its request's headers are in: no deadline until it has been answered.
    void HeadersIn(const void* connection);
    // Its answer is sent: it waits for the next request from now.
    void Answered(const void* connection);
    // It is closed; called before its socket is, so that no other socket is ever shut down.
    void Closed(const void* connection);

private:
    struct Waiting {
        int socket;
        Clock::time_point deadline;  // Clock::time_point::max() while its request is answered
    };

    void Watch();

    const Clock::duration bound_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<const void*, Waiting> connections_;  // under `mutex_`
    bool ending_ = false;                         // under `mutex_`
    std::thread watcher_;
};
