#pragma once
// The metrics endpoint's HTTP server on libmicrohttpd's own thread: GET and HEAD of /metrics
// only, other paths 404, other methods 405, request bodies 413; request headers over 16 kB
// refused, connections idle for 10 s closed, and so are those whose request's headers are not
// in 10 s after the connection opened or its last answer went (a client trickling a byte at a
// time); at most 512 connections at once, 4 from one IPv4 address or IPv6 /64 (address_limit.h),
// so that it takes 128 hosts holding all they may to take them all. Every other part of HTTP is
// the library's. With a web configuration (web_config.h), TLS 1.2 or 1.3 by the library's own
// GnuTLS, client certificates verified against the configured CA (and for client
// authentication, when they name their purposes) before anything is answered, and basic
// authentication (basic_auth.h): a request without the right password gets 401 and
// `WWW-Authenticate: Basic`. A password not remembered from an earlier scrape is checked on the
// password checker's thread while its connection waits aside, so that no page or handshake
// waits behind a bcrypt; each source has a few such checks and then one every 20 s
// (guess_limit.h), beyond which a password not remembered gets 401 at once. Every refusal is
// said (refusal_log.h). Built into the module the display loads
// (decimon-metrics-server.so) and into the tests, never into the program itself.

#include "metrics/address_limit.h"
#include "metrics/basic_auth.h"
#include "metrics/guess_limit.h"
#include "metrics/header_deadlines.h"
#include "metrics/metrics_server.h"
#include "metrics/password_checker.h"
#include "metrics/refusal_log.h"
#include "metrics/web_config.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct MHD_Connection;
struct RequestState;
struct MHD_Daemon;

class HttpMetricsServer : public MetricsServer {
public:
    static constexpr unsigned IdleTimeoutSeconds = 10;
    static constexpr unsigned HeaderTimeoutSeconds = 10;
    static constexpr unsigned MaxConnections = 512;  // beyond select()'s reach: the library polls
    static constexpr unsigned MaxConnectionsPerSource = 4;
    static constexpr std::size_t ConnectionMemory = 16 * 1024;  // the request's headers must fit

    // Serves as `options` say; the listener is closed at the end, or at once on failure. Null
    // with the reason when the web configuration cannot be used (the reason then names
    // MetricsWebConfig) or the server's thread cannot start: never a plainer server instead.
    // `files`, when given, gets the paths of the files the web configuration names.
    static std::unique_ptr<HttpMetricsServer> Start(MetricsServerOptions options, std::string* reason,
                                                    std::vector<std::string>* files = nullptr);
    ~HttpMetricsServer() override;
    HttpMetricsServer(const HttpMetricsServer&) = delete;
    HttpMetricsServer& operator=(const HttpMetricsServer&) = delete;

private:
    HttpMetricsServer(PageSource source, WebConfig config);

    // Says the connection's refusal (refusal_log.h).
    void SayRefused(MHD_Connection* connection, const char* reason);
    // Sets a connection aside for a password check, unless the server is ending.
    bool Suspend(MHD_Connection* connection, RequestState& state);
    // Lets every connection set aside go on, so that the library may stop.
    void ResumeAll();

    PageSource source_;
    const std::optional<WebConfig::Tls> tls_;   // the library reads the PEM texts from here
    const std::shared_ptr<BasicAuth> auth_;     // null: no passwords
    std::unique_ptr<PasswordChecker> checker_;  // with auth_
    GuessLimit guessLimit_;                     // on the server's thread only
    RefusalLog refusals_;                       // on the server's thread only
    std::mutex suspendedMutex_;
    std::map<MHD_Connection*, RequestState*> suspended_;  // under suspendedMutex_: waiting for a check
    bool ending_ = false;                                 // under suspendedMutex_
    AddressLimit addressLimit_;                           // like the deadlines, told of the connections
    HeaderDeadlines headerDeadlines_;                     // outlives the daemon, which tells it of its connections
    MHD_Daemon* daemon_ = nullptr;

    friend struct MetricsRequest;
};
