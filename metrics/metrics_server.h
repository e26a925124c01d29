#pragma once
// The metrics endpoint's HTTP server as the display holds it. The server, on libmicrohttpd and
// the TLS libraries that library links, is a module (see http_metrics_server.h) that the display
// loads only when its settings ask for an endpoint: a display without one maps none of it. The
// module shares nothing with the program but this interface and its one entry point.

#include <functional>
#include <string>
#include <string_view>

// What a scrape is answered with.
struct ServedPage {
    const char* contentType;  // a string that lives as long as the program; null: no page, the
                              // display is ending (answered 503)
    std::string text;
};

class MetricsServer {
public:
    // The page for a scrape with this Accept header (empty when it sent none), called on the
    // server's thread; it must return at once.
    using PageSource = std::function<ServedPage(std::string_view accept)>;

    // Ends the server's thread and every connection; a scrape under way is finished first.
    virtual ~MetricsServer() = default;
};

// What the module's server is started with.
struct MetricsServerOptions {
    int listener;  // a listening socket the server takes over and closes at the end
    MetricsServer::PageSource source;
    // "MetricsWebConfig": the web configuration's path (TLS and passwords); empty: plain HTTP
    // that anyone may scrape.
    std::string webConfigPath;
};

// The module's one entry point, by this name: a server as `options` say; null with the reason
// when the web configuration cannot be used or the server's thread cannot start.
using StartMetricsServer = MetricsServer* (*)(MetricsServerOptions options, std::string* reason);
inline constexpr char kStartMetricsServer[] = "decimon_start_metrics_server";

// The version of this interface, one more with every change to it. The module exports it as an
// int by this name, and the program calls no entry point of a module whose number differs: a
// module from another build is refused rather than called with what it does not expect.
// 2: the start takes MetricsServerOptions; 3: a page source may answer no page.
inline constexpr int kMetricsServerInterface = 3;
inline constexpr char kMetricsServerInterfaceSymbol[] = "decimon_metrics_server_interface";
