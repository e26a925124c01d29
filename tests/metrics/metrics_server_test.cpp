// The endpoint's HTTP server on a loopback port, asked by a plain socket: what it answers to
// requests good and bad. The loading of its module: this build's only.
#include "metrics/http_metrics_server.h"
#include "metrics/metrics_address.h"
#include "metrics/metrics_endpoint.h"
#include "metrics/metrics_page.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace {

class Server : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        const int listener = ListenOn({"127.0.0.1", 0}, &reason);
        ASSERT_GE(listener, 0) << reason;
        port_ = BoundPort(listener);
        server_ = HttpMetricsServer::Start(
            listener,
            [this](std::string_view accept) {
                ++scrapes_;
                const PageFormat format = FormatForAccept(accept);
                return ServedPage{ContentType(format),
                                  format == PageFormat::OpenMetrics ? "om_page 1\n# EOF\n" : "text_page 1\n"};
            },
            &reason);
        ASSERT_TRUE(server_) << reason;
    }

    // Sends `request` on a new connection and reads until the server closes it or 5 s pass.
    std::string Ask(const std::string& request) const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port_);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        for (std::size_t sent = 0; sent < request.size();) {
            const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;  // the server may refuse before it has read everything
            sent += static_cast<std::size_t>(n);
        }
        shutdown(fd, SHUT_WR);
        std::string answer;
        char buffer[4096];
        pollfd ready{fd, POLLIN, 0};
        while (poll(&ready, 1, 5000) == 1) {
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            answer.append(buffer, static_cast<std::size_t>(n));
        }
        close(fd);
        return answer;
    }

    std::uint16_t port_ = 0;
    std::unique_ptr<HttpMetricsServer> server_;
    std::atomic<int> scrapes_{0};
};

struct RequestCase {
    const char* name;
    std::string request;
    const char* statusLine;
    const char* contains;  // in the answer's headers or body
    bool scraped;
};

class Requests : public Server, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(Requests, AreAnsweredAsHttpWants) {
    const RequestCase& c = GetParam();
    const std::string answer = Ask(c.request);
    EXPECT_EQ(answer.substr(0, answer.find("\r\n")), c.statusLine) << answer.substr(0, 300);
    EXPECT_NE(answer.find(c.contains), std::string::npos) << answer.substr(0, 300);
    EXPECT_EQ(scrapes_ == 1, c.scraped);
}

const std::string Host = "Host: display\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, Requests,
    ::testing::Values(
        RequestCase{"Get", "GET /metrics HTTP/1.1\r\n" + Host + "\r\n", "HTTP/1.1 200 OK",
                    "text/plain; version=0.0.4; charset=utf-8", true},
        RequestCase{"GetOpenMetrics",
                    "GET /metrics HTTP/1.1\r\n" + Host + "Accept: application/openmetrics-text;version=1.0.0\r\n\r\n",
                    "HTTP/1.1 200 OK", "\r\n\r\nom_page 1\n# EOF\n", true},
        RequestCase{"GetWithQuery", "GET /metrics?x=1 HTTP/1.0\r\n\r\n", "HTTP/1.1 200 OK", "text_page 1", true},
        RequestCase{"Head", "HEAD /metrics HTTP/1.1\r\n" + Host + "\r\n", "HTTP/1.1 200 OK", "Content-Length: 12",
                    true},
        RequestCase{"OtherPath", "GET / HTTP/1.1\r\n" + Host + "\r\n", "HTTP/1.1 404 Not Found", "Not Found", false},
        RequestCase{"Post",
                    "POST /metrics HTTP/1.1\r\n" + Host + "Content-Length: 10485760\r\n\r\n" + std::string(65536, 'x'),
                    "HTTP/1.1 405 Method Not Allowed", "Allow: GET, HEAD", false},
        RequestCase{"OddMethod", "BREW /metrics HTTP/1.1\r\n" + Host + "\r\n", "HTTP/1.1 405 Method Not Allowed",
                    "Allow: GET, HEAD", false},
        RequestCase{"GetWithBody", "GET /metrics HTTP/1.1\r\n" + Host + "Content-Length: 5\r\n\r\nhello",
                    "HTTP/1.1 413 Content Too Large", "not accepted", false},
        RequestCase{"ChunkedBody",
                    "GET /metrics HTTP/1.1\r\n" + Host + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
                    "HTTP/1.1 413 Content Too Large", "not accepted", false},
        RequestCase{"BigHeader",
                    "GET /metrics HTTP/1.1\r\n" + Host + "X-Big: " + std::string(70 * 1024, 'a') + "\r\n\r\n",
                    "HTTP/1.1 431 Request Header Fields Too Large", "", false},
        RequestCase{"Garbage", "\x16\x03\x01 hello there\r\n\r\n", "HTTP/1.1 400 Bad Request", "", false}),
    [](const ::testing::TestParamInfo<RequestCase>& row) { return std::string(row.param.name); });

TEST_F(Server, AHeadAnswerHasNoBodyAndAGoodHeaderOf8kBIsServed) {
    const std::string head = Ask("HEAD /metrics HTTP/1.0\r\n\r\n");
    EXPECT_EQ(head.substr(head.find("\r\n\r\n") + 4), "");
    const std::string get = Ask("GET /metrics HTTP/1.0\r\nX-Cookie: " + std::string(8 * 1024, 'c') + "\r\n\r\n");
    EXPECT_EQ(get.substr(0, get.find("\r\n")), "HTTP/1.1 200 OK");
}

struct ModuleCase {
    const char* name;
    const char* path;    // relative to the test's folder
    std::string reason;  // a part of it; empty: loaded
};

class ModuleLoading : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(ModuleLoading, TakesThisBuildsModuleAndRefusesOthersWithoutCallingThem) {
    const ModuleCase& c = GetParam();
    std::string reason;
    const StartMetricsServer start = LoadMetricsServerModule(c.path, &reason);
    EXPECT_EQ(start != nullptr, c.reason.empty()) << reason;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ModuleLoading,
    ::testing::Values(ModuleCase{"ThisBuild", DECIMON_TEST_METRICS_MODULE, ""},
                      ModuleCase{"NextInterface", "other-build/interface-next.so",
                                 "it is from another build (interface " + std::to_string(kMetricsServerInterface + 1) +
                                     ", the program's " + std::to_string(kMetricsServerInterface) + ")"},
                      ModuleCase{"NoInterface", "other-build/no-interface.so",
                                 "undefined symbol: decimon_metrics_server_interface"},
                      ModuleCase{"Missing", "other-build/none.so", "cannot open shared object file"}),
    [](const ::testing::TestParamInfo<ModuleCase>& row) { return std::string(row.param.name); });

}  // namespace
