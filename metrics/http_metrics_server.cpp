#include "metrics/http_metrics_server.h"

#include <microhttpd.h>

#include <unistd.h>

#include <cstring>
#include <system_error>
#include <type_traits>

// The handler of one request, called by the library on its thread.
struct MetricsRequest {
    static MHD_Result Answer(void* server, MHD_Connection* connection, const char* url, const char* method,
                             const char* /*version*/, const char* /*uploadData*/, std::size_t* /*uploadSize*/,
                             void** /*requestState*/) {
        static_cast<HttpMetricsServer*>(server)->headerDeadlines_.HeadersIn(connection);
        const bool get = std::strcmp(method, MHD_HTTP_METHOD_GET) == 0;
        const bool head = std::strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
        if (!get && !head)
            return Refuse(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "Method Not Allowed\n");
        if (std::strcmp(url, "/metrics") != 0)
            return Refuse(connection, MHD_HTTP_NOT_FOUND, "Not Found\n");
        // Answered before any body is read; the library then closes the connection.
        if (HasBody(connection))
            return Refuse(connection, MHD_HTTP_CONTENT_TOO_LARGE, "A request body is not accepted\n");
        const char* accept = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_ACCEPT);
        const ServedPage page = static_cast<HttpMetricsServer*>(server)->source_(accept ? accept : "");
        return Send(connection, MHD_HTTP_OK, page.text, page.contentType);
    }

    // A connection opened or closed: the deadlines of its requests' headers begin or end.
    static void Notify(void* server, MHD_Connection* connection, void** /*socketState*/,
                       MHD_ConnectionNotificationCode code) {
        HeaderDeadlines& deadlines = static_cast<HttpMetricsServer*>(server)->headerDeadlines_;
        if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
            deadlines.Closed(connection);
            return;
        }
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        if (info)
            deadlines.Opened(connection, info->connect_fd);
    }

    // A request answered (or given up): the connection waits for the next one.
    static void Completed(void* server, MHD_Connection* connection, void** /*requestState*/,
                          MHD_RequestTerminationCode /*code*/) {
        static_cast<HttpMetricsServer*>(server)->headerDeadlines_.Answered(connection);
    }

private:
    static bool HasBody(MHD_Connection* connection) {
        if (MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING))
            return true;
        const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        return length && std::strcmp(length, "0") != 0;
    }

    static MHD_Result Refuse(MHD_Connection* connection, unsigned status, const char* text) {
        return Send(connection, status, text, "text/plain; charset=utf-8");
    }

    static MHD_Result Send(MHD_Connection* connection, unsigned status, const std::string& body,
                           const char* contentType) {
        MHD_Response* response =
            MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
        if (!response)
            return MHD_NO;
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
        if (status == MHD_HTTP_METHOD_NOT_ALLOWED)
            MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
        const MHD_Result queued = MHD_queue_response(connection, status, response);
        MHD_destroy_response(response);
        return queued;
    }
};

namespace {

std::nullptr_t NoThread(std::string* reason) {
    if (reason)
        *reason = "the HTTP server's thread could not be started";
    return nullptr;
}

}  // namespace

std::unique_ptr<HttpMetricsServer> HttpMetricsServer::Start(int listener, PageSource source, std::string* reason) {
    std::unique_ptr<HttpMetricsServer> server;
    try {
        server.reset(new HttpMetricsServer(std::move(source)));
    } catch (const std::system_error&) {  // no thread for the header deadlines
        close(listener);
        return NoThread(reason);
    }
    server->daemon_ =
        MHD_start_daemon(MHD_USE_AUTO_INTERNAL_THREAD, 0, nullptr, nullptr, &MetricsRequest::Answer, server.get(),
                         MHD_OPTION_LISTEN_SOCKET, listener, MHD_OPTION_CONNECTION_TIMEOUT, IdleTimeoutSeconds,
                         MHD_OPTION_CONNECTION_LIMIT, MaxConnections, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
                         ConnectionMemory, MHD_OPTION_PER_IP_CONNECTION_LIMIT, MaxConnectionsPerAddress,
                         MHD_OPTION_NOTIFY_CONNECTION, &MetricsRequest::Notify, server.get(),
                         MHD_OPTION_NOTIFY_COMPLETED, &MetricsRequest::Completed, server.get(), MHD_OPTION_END);
    // Not closed here: the library closes a listening socket it was given when it fails.
    if (!server->daemon_)
        return NoThread(reason);
    return server;
}

HttpMetricsServer::~HttpMetricsServer() {
    MHD_stop_daemon(daemon_);  // closes the listening socket too
}

extern "C" __attribute__((visibility("default"))) const int decimon_metrics_server_interface = kMetricsServerInterface;

extern "C" __attribute__((visibility("default"))) MetricsServer*
decimon_start_metrics_server(int listener, MetricsServer::PageSource source, std::string* reason) {
    return HttpMetricsServer::Start(listener, std::move(source), reason).release();
}
static_assert(std::is_same_v<decltype(&decimon_start_metrics_server), StartMetricsServer>);
