#pragma once
// The HTTP side of the metrics endpoint, on libmicrohttpd's own thread: GET and HEAD of
// /metrics only, other paths 404, other methods 405, request bodies 413; request headers
// over 16 kB refused, connections idle for 10 s closed, at most 64 connections at once.
// Every other part of HTTP is the library's.

#include "metrics/metrics_page.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct MHD_Daemon;

class MetricsServer {
public:
    static constexpr unsigned IdleTimeoutSeconds = 10;
    static constexpr unsigned MaxConnections = 64;
    static constexpr std::size_t ConnectionMemory = 16 * 1024;  // the request's headers must fit

    // The page for a scrape, called on the server's thread; it must return at once.
    using PageSource = std::function<std::string(PageFormat)>;

    // Serves on `listener`, a listening socket the server takes over and closes at the end.
    // Null with the reason when the server's thread cannot start.
    static std::unique_ptr<MetricsServer> Start(int listener, PageSource source, std::string* reason);
    // Ends the server's thread and every connection; a scrape under way is finished first.
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    MetricsServer(PageSource source, std::uint16_t port) : source_(std::move(source)), port_(port) {}

    PageSource source_;
    std::uint16_t port_;
    MHD_Daemon* daemon_ = nullptr;

    friend struct MetricsRequest;
};
