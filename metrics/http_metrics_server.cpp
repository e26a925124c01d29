#include "metrics/http_metrics_server.h"

#include "metrics/client_checks.h"

#include <gnutls/gnutls.h>
#include <microhttpd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <set>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <vector>

// The answer to "/", as exporters give one: a link to the page.
constexpr char LandingPage[] =
    "<html><head><title>Decimon</title></head><body><h1>Decimon</h1><p><a href=\"/metrics\">Metrics</a></p>"
    "</body></html>\n";

// Where a request stands, from the library's first call for it to its completion. A password
// check's verdict is set on the checker's thread, before the connection is resumed.
enum class RequestStage { New, Checking, Allowed, Denied, Ready };
struct RequestState {
    std::atomic<RequestStage> stage{RequestStage::New};
    const char* refusal = "";  // why it is Denied, for the log
};

// The handler of one request, called by the library on its thread.
struct MetricsRequest {
    static MHD_Result Answer(void* server, MHD_Connection* connection, const char* url, const char* method,
                             const char* /*version*/, const char* /*uploadData*/, std::size_t* /*uploadSize*/,
                             void** requestState) {
        auto* self = static_cast<HttpMetricsServer*>(server);
        self->headerDeadlines_.HeadersIn(connection);
        auto* state = static_cast<RequestState*>(*requestState);
        if (!state) {
            state = new (std::nothrow) RequestState;
            if (!state)
                return MHD_NO;
            *requestState = state;
        }
        switch (state->stage.load()) {
        case RequestStage::Ready: {
            const char* accept = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_ACCEPT);
            const ServedPage page = self->source_(accept ? accept : "");
            return page.contentType ? Send(connection, MHD_HTTP_OK, page)
                                    : Refuse(connection, MHD_HTTP_SERVICE_UNAVAILABLE, "The display is ending\n");
        }
        case RequestStage::Checking:
            return MHD_YES;  // set aside meanwhile: not called
        case RequestStage::Denied:
            self->SayRefused(connection, state->refusal);
            return AskForPassword(connection);
        case RequestStage::Allowed:
            if (const sockaddr* client = ClientAddress(connection))
                self->guessLimit_.GiveBack(client);  // only failed checks count
            break;
        case RequestStage::New:
            // No answer at all, as a refused handshake would give: the library asks for the
            // client's certificate but cannot make the handshake depend on it.
            if (self->tls_) {
                if (const char* refusal = PeerRefusal(connection, self->tls_->clientAuth)) {
                    self->SayRefused(connection, refusal);
                    return MHD_NO;
                }
            }
            if (self->auth_) {
                const RequestStage stage = Authorize(*self, connection, *state);
                if (stage == RequestStage::Checking)
                    return MHD_YES;
                if (stage == RequestStage::Denied) {
                    self->SayRefused(connection, state->refusal);
                    return AskForPassword(connection);
                }
            }
            break;
        }
        const bool get = std::strcmp(method, MHD_HTTP_METHOD_GET) == 0;
        const bool head = std::strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
        if (!get && !head)
            return Refuse(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "Method Not Allowed\n");
        // Answered before any body is read; the library then closes the connection.
        if (HasBody(connection))
            return Refuse(connection, MHD_HTTP_CONTENT_TOO_LARGE, "A request body is not accepted\n");
        if (std::strcmp(url, "/") == 0)
            return Send(connection, MHD_HTTP_OK, {"text/html; charset=utf-8", LandingPage});
        if (std::strcmp(url, "/metrics") != 0)
            return Refuse(connection, MHD_HTTP_NOT_FOUND, "Not Found\n");
        // The page on the next call, once the request has been read whole: the library closes a
        // connection whose answer came with its headers, and a scraper keeps its connection
        // (over TLS, a handshake a scrape would cost more than the page).
        state->stage = RequestStage::Ready;
        return MHD_YES;
    }

    // The path as the request gives it: "/%6detrics" or "/metrics%00" is no "/metrics". The
    // query is split off before this, and no other part of the request is unescaped.
    static std::size_t KeptEscaped(void* /*server*/, MHD_Connection* /*connection*/, char* text) {
        return std::strlen(text);
    }

    // A connection about to be accepted: not beyond its source's share. Called just before the
    // connection's opening is told, on the same thread.
    static MHD_Result Admit(void* server, const sockaddr* address, socklen_t /*length*/) {
        auto* self = static_cast<HttpMetricsServer*>(server);
        if (self->addressLimit_.Admits(address))
            return MHD_YES;
        self->refusals_.Refused(address, "its address has all the connections it may have open",
                                RefusalLog::Clock::now());
        return MHD_NO;
    }

    // A connection opened or closed: it counts for its source, and the deadlines of its
    // requests' headers begin or end.
    static void Notify(void* server, MHD_Connection* connection, void** /*socketState*/,
                       MHD_ConnectionNotificationCode code) {
        auto* self = static_cast<HttpMetricsServer*>(server);
        const MHD_ConnectionInfo* client = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
            if (info)
                FreshSockets().erase(info->connect_fd);
            self->headerDeadlines_.Closed(connection);
            if (client)
                self->addressLimit_.Closed(client->client_addr);
            return;
        }
        if (client)
            self->addressLimit_.Opened(client->client_addr);
        if (info)
            self->headerDeadlines_.Opened(connection, info->connect_fd);
        if (info && self->tls_)
            WatchFirstRead(*self, connection, info->connect_fd);
    }

    // A request answered (or given up): the connection waits for the next one.
    static void Completed(void* server, MHD_Connection* connection, void** requestState,
                          MHD_RequestTerminationCode /*code*/) {
        delete static_cast<RequestState*>(*requestState);
        *requestState = nullptr;
        static_cast<HttpMetricsServer*>(server)->headerDeadlines_.Answered(connection);
    }

private:
    // Why the client's certificate, or the lack of one, is refused as client_auth_type says;
    // null when it is not.
    static const char* PeerRefusal(MHD_Connection* connection, WebConfig::Tls::ClientAuth clientAuth) {
        using ClientAuth = WebConfig::Tls::ClientAuth;
        if (clientAuth == ClientAuth::None || clientAuth == ClientAuth::Request)
            return nullptr;
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_GNUTLS_SESSION);
        if (!info)
            return "no TLS session";
        const auto session = static_cast<gnutls_session_t>(info->tls_session);
        unsigned count = 0;
        const bool given = gnutls_certificate_get_peers(session, &count) && count > 0;
        if (!given)
            return clientAuth == ClientAuth::VerifyIfGiven ? nullptr : "no client certificate";
        return clientAuth == ClientAuth::RequireAny ? nullptr : ClientCertificateRefusal(session);
    }

    // Every read of a TLS connection, as the library's own would read (a recv on the socket); on
    // the first, a TLS record begins with a byte from 20 to 24, a plain HTTP request with the
    // letters of its method. Plain HTTP is read out (a socket closed with
    // bytes unread resets the connection, and the client would lose the answer), answered 400 as
    // the exporters' server answers it, and said; the handshake then fails on what was read.
    static ssize_t Pull(gnutls_transport_ptr_t transport, void* data, std::size_t size) {
        const int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(transport));
        const ssize_t n = recv(fd, data, size, 0);
        const bool first = FreshSockets().erase(fd) == 1;
        const bool plain = first && n > 0 && std::isupper(static_cast<unsigned char>(*static_cast<char*>(data)));
        if (!plain || !ServingThread)
            return n;
        char rest[4096];
        for (int reads = 0; reads < 16 && recv(fd, rest, sizeof rest, MSG_DONTWAIT) > 0; ++reads) {
        }
        constexpr std::string_view Answer =
            "HTTP/1.0 400 Bad Request\r\n\r\nClient sent an HTTP request to an HTTPS server.\n";
        send(fd, Answer.data(), Answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0)
            ServingThread->refusals_.Refused(reinterpret_cast<const sockaddr*>(&peer), "plain HTTP on the TLS port",
                                             RefusalLog::Clock::now());
        return n;
    }

    // The TLS connections of the server on this thread whose first read has not come yet.
    static std::set<int>& FreshSockets() {
        thread_local std::set<int> fresh;
        return fresh;
    }
    static inline thread_local HttpMetricsServer* ServingThread = nullptr;

    // A new TLS connection's reads go through Pull.
    static void WatchFirstRead(HttpMetricsServer& self, MHD_Connection* connection, int fd) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_GNUTLS_SESSION);
        if (!info)
            return;
        ServingThread = &self;
        FreshSockets().insert(fd);
        gnutls_transport_set_pull_function(static_cast<gnutls_session_t>(info->tls_session), &Pull);
    }

    static const sockaddr* ClientAddress(MHD_Connection* connection) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        return info ? info->client_addr : nullptr;
    }

    static bool Credentials(MHD_Connection* connection, std::string& user, std::string& password) {
        return BasicCredentials(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_AUTHORIZATION),
                                user, password);
    }

    // Allowed for a pair remembered; Checking when its check has been handed to the checker
    // and the connection set aside; Denied without a pair, or when the source has no check left.
    static RequestStage Authorize(HttpMetricsServer& self, MHD_Connection* connection, RequestState& state) {
        std::string user, password;
        const bool given = Credentials(connection, user, password);
        const sockaddr* client = ClientAddress(connection);
        RequestStage stage = RequestStage::Denied;
        state.refusal =
            given ? "a password not checked: its address has had all the checks it may for now" : "no password";
        if (given && self.auth_->Remembered(user.c_str(), password.c_str())) {
            stage = RequestStage::Allowed;
        } else if (given && client && self.guessLimit_.Take(client, GuessLimit::Clock::now())) {
            state.stage = RequestStage::Checking;  // before the verdict can come
            if (self.Suspend(connection, state)) {
                stage = RequestStage::Checking;
                self.checker_->Submit(user, password, [&self, connection, &state](bool allowed) {
                    std::lock_guard lock(self.suspendedMutex_);
                    state.refusal = "a wrong password or user name";
                    state.stage = allowed ? RequestStage::Allowed : RequestStage::Denied;
                    self.suspended_.erase(connection);
                    MHD_resume_connection(connection);
                });
            }
        }
        gnutls_memset(password.data(), 0, password.size());
        return stage;
    }

    static MHD_Result AskForPassword(MHD_Connection* connection) {
        MHD_Response* response = Response("Unauthorized\n", "text/plain; charset=utf-8");
        if (!response)
            return MHD_NO;
        const MHD_Result queued = MHD_queue_basic_auth_fail_response(connection, "decimon", response);
        MHD_destroy_response(response);
        return queued;
    }

    static bool HasBody(MHD_Connection* connection) {
        if (MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING))
            return true;
        const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        return length && std::strcmp(length, "0") != 0;
    }

    static MHD_Result Refuse(MHD_Connection* connection, unsigned status, const char* text) {
        return Send(connection, status, {"text/plain; charset=utf-8", text});
    }

    static MHD_Response* Response(const std::string& body, const char* contentType) {
        MHD_Response* response =
            MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
        if (response)
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
        return response;
    }

    static MHD_Result Send(MHD_Connection* connection, unsigned status, const ServedPage& page) {
        MHD_Response* response = Response(page.text, page.contentType);
        if (!response)
            return MHD_NO;
        if (status == MHD_HTTP_METHOD_NOT_ALLOWED)
            MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
        const MHD_Result queued = MHD_queue_response(connection, status, response);
        MHD_destroy_response(response);
        return queued;
    }
};

HttpMetricsServer::HttpMetricsServer(PageSource source, WebConfig config)
    : source_(std::move(source)),
      tls_(std::move(config.tls)),
      auth_(config.users.empty() ? nullptr : std::make_shared<BasicAuth>(config.users)),
      checker_(auth_ ? std::make_unique<PasswordChecker>(auth_) : nullptr),
      addressLimit_(MaxConnectionsPerSource),
      headerDeadlines_(std::chrono::seconds(HeaderTimeoutSeconds)) {}

void HttpMetricsServer::SayRefused(MHD_Connection* connection, const char* reason) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info)
        refusals_.Refused(info->client_addr, reason, RefusalLog::Clock::now());
}

bool HttpMetricsServer::Suspend(MHD_Connection* connection, RequestState& state) {
    std::lock_guard lock(suspendedMutex_);
    if (ending_)
        return false;
    MHD_suspend_connection(connection);
    suspended_.emplace(connection, &state);
    return true;
}

void HttpMetricsServer::ResumeAll() {
    if (checker_)
        checker_->Stop();  // no verdict comes after this
    std::lock_guard lock(suspendedMutex_);
    ending_ = true;
    for (const auto& [connection, state] : suspended_) {
        state->stage = RequestStage::Denied;
        MHD_resume_connection(connection);
    }
    suspended_.clear();
}

namespace {

// The socket's inode, which tells it from a later socket given the same number; 0 when `fd` is
// no socket.
ino_t SocketInode(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && S_ISSOCK(status.st_mode) ? status.st_ino : 0;
}

std::nullptr_t NoThread(std::string* reason) {
    if (reason)
        *reason = "the HTTP server's thread could not be started";
    return nullptr;
}

// The library's options for TLS from `tls`, ended by MHD_OPTION_END; only that end without TLS.
std::vector<MHD_OptionItem> TlsOptions(const std::optional<WebConfig::Tls>& tls) {
    std::vector<MHD_OptionItem> options;
    if (tls) {
        options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(tls->certificate.c_str())});
        options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(tls->key.c_str())});
        options.push_back({MHD_OPTION_HTTPS_PRIORITIES, 0, const_cast<char*>(tls->priorities.c_str())});
        // A trust list makes the library ask every client for its certificate. Where none is
        // verified and no CA is given, the server's own certificate stands in, only to ask.
        if (tls->clientAuth != WebConfig::Tls::ClientAuth::None) {
            const std::string& trust = tls->clientCa.empty() ? tls->certificate : tls->clientCa;
            options.push_back({MHD_OPTION_HTTPS_MEM_TRUST, 0, const_cast<char*>(trust.c_str())});
        }
    }
    options.push_back({MHD_OPTION_END, 0, nullptr});
    return options;
}

}  // namespace

std::unique_ptr<HttpMetricsServer> HttpMetricsServer::Start(MetricsServerOptions options, std::string* reason,
                                                            std::vector<std::string>* files) {
    WebConfig config;
    if (!options.webConfigPath.empty()) {
        std::string why;
        std::optional<WebConfig> read = ReadWebConfig(options.webConfigPath, &why);
        if (!read) {
            close(options.listener);  // fail closed: no endpoint at all
            if (reason)
                *reason = "MetricsWebConfig \"" + options.webConfigPath + "\": " + why;
            return nullptr;
        }
        config = std::move(*read);
        if (files)
            *files = config.files;
        for (const std::string& warning : config.warnings)
            std::fprintf(stderr, "decimon: MetricsWebConfig \"%s\": %s; served all the same\n",
                         options.webConfigPath.c_str(), warning.c_str());
        // Served all the same: a site may mean a network of its own.
        if (!config.tls && !config.users.empty())
            std::fprintf(stderr,
                         "decimon: MetricsWebConfig \"%s\" has basic_auth_users but no tls_server_config: the "
                         "metrics endpoint's passwords go over the network in clear\n",
                         options.webConfigPath.c_str());
    }
    std::unique_ptr<HttpMetricsServer> server;
    try {
        server.reset(new HttpMetricsServer(std::move(options.source), std::move(config)));
    } catch (const std::system_error&) {  // no thread for the header deadlines
        close(options.listener);
        return NoThread(reason);
    }
    const std::vector<MHD_OptionItem> tlsOptions = TlsOptions(server->tls_);
    const ino_t listenerInode = SocketInode(options.listener);
    // With TLS, poll() rather than the epoll the library would pick: under epoll its thread spins
    // while a client's handshake waits for bytes (libmicrohttpd 0.9.75), a core's worth for
    // every client that sends half a ClientHello.
    const unsigned flags =
        (server->tls_ ? MHD_USE_POLL_INTERNAL_THREAD | MHD_USE_TLS : unsigned(MHD_USE_AUTO_INTERNAL_THREAD)) |
        MHD_ALLOW_SUSPEND_RESUME;
    server->daemon_ = MHD_start_daemon(
        flags, 0, &MetricsRequest::Admit, server.get(), &MetricsRequest::Answer, server.get(), MHD_OPTION_LISTEN_SOCKET,
        options.listener, MHD_OPTION_CONNECTION_TIMEOUT, IdleTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT,
        MaxConnections, MHD_OPTION_CONNECTION_MEMORY_LIMIT, ConnectionMemory, MHD_OPTION_NOTIFY_CONNECTION,
        &MetricsRequest::Notify, server.get(), MHD_OPTION_NOTIFY_COMPLETED, &MetricsRequest::Completed, server.get(),
        MHD_OPTION_UNESCAPE_CALLBACK, &MetricsRequest::KeptEscaped, server.get(), MHD_OPTION_ARRAY, tlsOptions.data(),
        MHD_OPTION_END);
    // The library closes a listening socket it was given on some of its failures, not on all:
    // closed here unless it has been, and never a socket that took its number meanwhile.
    if (!server->daemon_) {
        if (listenerInode != 0 && SocketInode(options.listener) == listenerInode)
            close(options.listener);
        return NoThread(reason);
    }
    return server;
}

HttpMetricsServer::~HttpMetricsServer() {
    ResumeAll();               // the library must not be stopped with connections set aside
    MHD_stop_daemon(daemon_);  // closes the listening socket too
}
