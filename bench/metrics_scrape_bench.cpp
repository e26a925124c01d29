// The CPU a scrape of the metrics endpoint costs the display: the monitoring engine polling
// the meter simulator once a second with its endpoint on loopback, and 1,000 scrapes from a
// child process. The display's CPU time is read from /proc/self/stat before and after; the
// polls of the same span are measured alone first and taken off.
//   metrics_scrape_bench [SCRAPES]
#include "metrics/http_metrics_server.h"
#include "metrics/metrics_address.h"
#include "metrics/metrics_endpoint.h"
#include "metrics/process_figures.h"
#include "monitor/meter_monitor.h"
#include "tests/support/meter_settings.h"
#include "tests/support/meter_sim_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

using namespace decimon::test;
using Clock = std::chrono::steady_clock;

namespace {

// utime + stime of every thread of this process, in seconds, as /proc gives them.
double ProcessCpuSeconds() {
    return ReadProcessFigures().CpuSeconds;
}

// One scrape as Prometheus makes it; false unless a whole 200 answer came.
bool Scrape(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    const std::string request = "GET /metrics HTTP/1.1\r\nHost: display\r\nConnection: close\r\nAccept: "
                                "application/openmetrics-text;version=1.0.0,text/plain;version=0.0.4;q=0.5\r\n\r\n";
    ok = ok && send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
    std::string answer;
    char buffer[8192];
    for (ssize_t n; ok && (n = recv(fd, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    return answer.rfind("HTTP/1.1 200", 0) == 0 && answer.find("# EOF\n") != std::string::npos;
}

// Polls once a second until `end`; the display's CPU time it took.
double PollUntil(MeterMonitor& monitor, Clock::time_point end, const std::function<void()>& meanwhile = {}) {
    const double before = ProcessCpuSeconds();
    std::thread poller([&] {
        for (auto next = Clock::now(); next < end; next += std::chrono::seconds(1)) {
            std::this_thread::sleep_until(next);
            monitor.RequestPoll();
        }
    });
    if (meanwhile)
        meanwhile();
    poller.join();
    return ProcessCpuSeconds() - before;
}

}  // namespace

int main(int argc, char** argv) {
    const int scrapes = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "decimon-metrics-bench";
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);

    MeterSimProcess sim({"--level", "853"});
    SaveMeterSettings(sim.Agent());
    MeterMonitor monitor;
    monitor.StartWorker();
    monitor.RequestFirstConnection();
    std::string reason;
    const int listener = ListenOn({"127.0.0.1", 0}, &reason);
    const std::uint16_t port = listener < 0 ? 0 : BoundPort(listener);
    auto server =
        listener < 0 ? nullptr : HttpMetricsServer::Start(listener, MetricsPageSource(monitor, "bench"), &reason);
    if (!server) {
        std::fprintf(stderr, "metrics_scrape_bench: no endpoint: %s\n", reason.c_str());
        return 1;
    }

    // The scrapes in a child process, so that their client's CPU is not the display's.
    int failed = 0;
    double scrapeWall = 0.0;
    const double withScrapes = PollUntil(monitor, Clock::now() + std::chrono::seconds(10), [&] {
        const auto scrapeStart = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            int bad = 0;
            for (int i = 0; i < scrapes; ++i)
                bad += !Scrape(port);
            _exit(bad > 255 ? 255 : bad);
        }
        int status = 0;
        waitpid(child, &status, 0);
        failed = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        scrapeWall = std::chrono::duration<double>(Clock::now() - scrapeStart).count();
    });
    const double pollsAlone = PollUntil(monitor, Clock::now() + std::chrono::seconds(10));
    const double perScrape = (withScrapes - pollsAlone) / scrapes;

    server.reset();
    monitor.StopWorker();
    std::filesystem::remove_all(home);
    std::printf("scrapes: %d (%d failed) in %.2f s of 10 s of polling\n", scrapes, failed, scrapeWall);
    std::printf("display CPU: %.3f s with the scrapes, %.3f s for 10 s of polls alone\n", withScrapes, pollsAlone);
    std::printf("CPU per scrape: %.3f ms; target: at most 0.2 ms: %s\n", perScrape * 1e3,
                perScrape <= 0.2e-3 ? "met" : "NOT met");
    return failed == 0 ? 0 : 1;
}
