#include "metrics/reloading_server.h"

#include "metrics/http_metrics_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <system_error>
#include <thread>
#include <tuple>
#include <vector>

namespace {

// What a stat tells of a file that its change would change; all zero when it cannot be stat-ed.
using Stamp = std::tuple<dev_t, ino_t, off_t, long, long, long, long>;

std::vector<Stamp> StampsOf(const std::vector<std::string>& paths) {
    std::vector<Stamp> stamps;
    for (const auto& path : paths) {
        struct stat status {};
        if (stat(path.c_str(), &status) != 0)
            status = {};
        stamps.emplace_back(status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec,
                            status.st_ctim.tv_sec, status.st_ctim.tv_nsec);
    }
    return stamps;
}

class ReloadingServer : public MetricsServer {
public:
    ReloadingServer(MetricsServerOptions options, std::unique_ptr<HttpMetricsServer> server,
                    std::vector<std::string> files)
        : listener_(options.listener),
          source_(std::move(options.source)),
          path_(std::move(options.webConfigPath)),
          server_(std::move(server)) {
        Watch(std::move(files), std::nullopt);
        if (pipe2(wake_, O_CLOEXEC) != 0)
            throw std::system_error(errno, std::generic_category());
        thread_ = std::thread([this] { Run(); });
    }

    ~ReloadingServer() override {
        (void)!write(wake_[1], "", 1);
        thread_.join();
        server_.reset();
        close(listener_);
        close(wake_[0]);
        close(wake_[1]);
    }

    ReloadingServer(const ReloadingServer&) = delete;
    ReloadingServer& operator=(const ReloadingServer&) = delete;

private:
    // `before`: the stamps taken before the files were read, which hold when they name the same
    // files, so that a file written while they were read is read again.
    void Watch(std::vector<std::string> files, std::optional<std::vector<Stamp>> before) {
        files.insert(files.begin(), path_);
        stamps_ = before && files == watched_ ? std::move(*before) : StampsOf(files);
        watched_ = std::move(files);
    }

    // Once a second, and when the server's end is asked for; while closed, the connections that
    // come are closed as they come.
    void Run() {
        using Clock = std::chrono::steady_clock;
        auto next = Clock::now() + std::chrono::seconds(1);
        for (;;) {
            pollfd fds[2] = {{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
            poll(fds, server_ ? 1 : 2, static_cast<int>(std::max<long>(wait.count(), 0)));
            if (fds[0].revents)
                return;
            if (fds[1].revents) {
                const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (connection >= 0)
                    close(connection);
            }
            if (Clock::now() < next)
                continue;
            next = Clock::now() + std::chrono::seconds(1);
            if (!server_ || StampsOf(watched_) != stamps_)
                Reload();
        }
    }

    void Reload() {
        const bool wasOpen = server_ != nullptr;
        std::vector<Stamp> before = StampsOf(watched_);
        server_.reset();  // the old files are never served again, nor its remembered passwords
        const int listener = fcntl(listener_, F_DUPFD_CLOEXEC, 0);
        std::string reason = "the listening socket cannot be shared";
        std::vector<std::string> files;
        if (listener >= 0)
            server_ = HttpMetricsServer::Start({listener, source_, path_}, &reason, &files);
        if (server_) {
            Watch(std::move(files), std::move(before));
            closedReason_.clear();
            std::fprintf(stderr, "decimon: MetricsWebConfig \"%s\" read anew; it holds from the next connection\n",
                         path_.c_str());
            return;
        }
        stamps_ = std::move(before);
        if (wasOpen || reason != closedReason_)
            std::fprintf(stderr, "decimon: %s; the metrics endpoint is closed until that is put right\n",
                         reason.c_str());
        closedReason_ = reason;
    }

    const int listener_;  // kept while the servers come and go; each has a copy of its own
    const PageSource source_;
    const std::string path_;
    std::unique_ptr<HttpMetricsServer> server_;  // on the watching thread after the start; null: closed
    std::vector<std::string> watched_;           // the web configuration and the files it names
    std::vector<Stamp> stamps_;
    std::string closedReason_;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace

std::unique_ptr<MetricsServer> StartReloadingServer(MetricsServerOptions options, std::string* reason) {
    if (options.webConfigPath.empty())
        return HttpMetricsServer::Start(std::move(options), reason);
    const int listener = fcntl(options.listener, F_DUPFD_CLOEXEC, 0);
    if (listener < 0) {
        close(options.listener);
        if (reason)
            *reason = "the listening socket cannot be shared";
        return nullptr;
    }
    std::vector<std::string> files;
    auto server = HttpMetricsServer::Start({listener, options.source, options.webConfigPath}, reason, &files);
    if (!server) {
        close(options.listener);
        return nullptr;
    }
    fcntl(options.listener, F_SETFL, fcntl(options.listener, F_GETFL) | O_NONBLOCK);
    try {
        return std::make_unique<ReloadingServer>(std::move(options), std::move(server), std::move(files));
    } catch (const std::system_error&) {
        close(options.listener);
        if (reason)
            *reason = "the metrics endpoint's watching thread could not be started";
        return nullptr;
    }
}

extern "C" __attribute__((visibility("default"))) const int decimon_metrics_server_interface = kMetricsServerInterface;

extern "C" __attribute__((visibility("default"))) MetricsServer*
decimon_start_metrics_server(MetricsServerOptions options, std::string* reason) {
    return StartReloadingServer(std::move(options), reason).release();
}
static_assert(std::is_same_v<decltype(&decimon_start_metrics_server), StartMetricsServer>);
