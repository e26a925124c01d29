#pragma once
// The metrics endpoint's HTTP server on libmicrohttpd's own thread: GET and HEAD of /metrics
// only, other paths 404, other methods 405, request bodies 413; request headers over 16 kB
// refused, connections idle for 10 s closed, and so are those whose request's headers are not
// in 10 s after the connection opened or its last answer went (a client trickling a byte at a
// time); at most 64 connections at once, 8 from one address, so that one host cannot take them
// all. Every other part of HTTP is the library's. Built into the module the display loads
// (decimon-metrics-server.so) and into the tests, never into the program itself.

#include "metrics/header_deadlines.h"
#include "metrics/metrics_server.h"

#include <cstddef>
#include <memory>

struct MHD_Daemon;

class HttpMetricsServer : public MetricsServer {
public:
    static constexpr unsigned IdleTimeoutSeconds = 10;
    static constexpr unsigned HeaderTimeoutSeconds = 10;
    static constexpr unsigned MaxConnections = 64;
    static constexpr unsigned MaxConnectionsPerAddress = 8;
    static constexpr std::size_t ConnectionMemory = 16 * 1024;  // the request's headers must fit

    // Serves on `listener`, a listening socket the server takes over and closes at the end.
    // Null with the reason when the server's thread cannot start.
    static std::unique_ptr<HttpMetricsServer> Start(int listener, PageSource source, std::string* reason);
    ~HttpMetricsServer() override;
    HttpMetricsServer(const HttpMetricsServer&) = delete;
    HttpMetricsServer& operator=(const HttpMetricsServer&) = delete;

private:
    explicit HttpMetricsServer(PageSource source)
        : source_(std::move(source)), headerDeadlines_(std::chrono::seconds(HeaderTimeoutSeconds)) {}

    PageSource source_;
    HeaderDeadlines headerDeadlines_;  // outlives the daemon, which tells it of its connections
    MHD_Daemon* daemon_ = nullptr;

    friend struct MetricsRequest;
};
