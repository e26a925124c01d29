#include "metrics/http_metrics_server.h"

#include <microhttpd.h>

#include <cstring>
#include <type_traits>

// The handler of one request, called by the library on its thread.
struct MetricsRequest {
    static MHD_Result Answer(void* server, MHD_Connection* connection, const char* url, const char* method,
                             const char* /*version*/, const char* /*uploadData*/, std::size_t* /*uploadSize*/,
                             void** /*requestState*/) {
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

std::unique_ptr<HttpMetricsServer> HttpMetricsServer::Start(int listener, PageSource source, std::string* reason) {
    std::unique_ptr<HttpMetricsServer> server(new HttpMetricsServer(std::move(source)));
    server->daemon_ = MHD_start_daemon(MHD_USE_AUTO_INTERNAL_THREAD, 0, nullptr, nullptr, &MetricsRequest::Answer,
                                       server.get(), MHD_OPTION_LISTEN_SOCKET, listener, MHD_OPTION_CONNECTION_TIMEOUT,
                                       IdleTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT, MaxConnections,
                                       MHD_OPTION_CONNECTION_MEMORY_LIMIT, ConnectionMemory, MHD_OPTION_END);
    if (!server->daemon_) {
        // Not closed here: the library closes a listening socket it was given when it fails.
        if (reason)
            *reason = "the HTTP server's thread could not be started";
        return nullptr;
    }
    return server;
}

HttpMetricsServer::~HttpMetricsServer() {
    MHD_stop_daemon(daemon_);  // closes the listening socket too
}

extern "C" __attribute__((visibility("default"))) MetricsServer*
decimon_start_metrics_server(int listener, MetricsServer::PageSource source, std::string* reason) {
    return HttpMetricsServer::Start(listener, std::move(source), reason).release();
}
static_assert(std::is_same_v<decltype(&decimon_start_metrics_server), StartMetricsServer>);
