#include "metrics/metrics_endpoint.h"

#include "metrics/metrics_page.h"
#include "metrics/process_figures.h"
#include "platform/sys/program_module.h"

#include <poll.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <system_error>

namespace {

// Where the build put the server's module, relative to the program's folder.
constexpr char kModulePath[] = DECIMON_METRICS_MODULE;

// The monitor's page as the server reaches it, until the endpoint closes the gate at its end:
// a server's thread left busy then may answer later, when the monitor is gone, with no page.
class PageGate {
public:
    explicit PageGate(const MeterMonitor& monitor) : source_(MetricsPageSource(monitor, DECIMON_VERSION)) {}

    ServedPage Page(std::string_view accept) {
        std::lock_guard lock(mutex_);
        return closed_ ? ServedPage{nullptr, {}} : source_(accept);
    }
    // Waits for a page being made.
    void Close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }

private:
    std::mutex mutex_;
    const MetricsServer::PageSource source_;
    bool closed_ = false;  // under mutex_
};

void SayNoEndpoint(const std::string& text, const std::string& reason) {
    std::fprintf(stderr, "decimon: no metrics endpoint at MetricsAddress \"%s\": %s; the display runs on without it\n",
                 text.c_str(), reason.c_str());
}

}  // namespace

// Copies of the settings, never the monitor itself but through the gate: the thread may run on
// after the endpoint and the monitor are gone.
struct MetricsEndpoint::Shared {
    Shared(const MeterMonitor& monitor, MetricsAddress parsed)
        : address(std::move(parsed)),
          text(monitor.MetricsAddress().text),
          webConfig(monitor.MetricsWebConfig().text),
          gate(std::make_shared<PageGate>(monitor)) {}

    const MetricsAddress address;
    const std::string text;  // as the settings file gives it, for the messages
    const std::string webConfig;
    const std::shared_ptr<PageGate> gate;  // shared with the server's page source
    StopSignal stop;
    std::mutex mutex;
    std::condition_variable endedChanged;
    bool ended = false;  // under mutex: the thread has stopped its server
};

namespace {

// The server on `listener`; the module is loaded only once the address is bound, so that a
// display whose endpoint cannot be had maps no HTTP library either.
std::unique_ptr<MetricsServer> Serve(int listener, const std::shared_ptr<PageGate>& gate, const std::string& webConfig,
                                     std::string* reason) {
    std::string moduleReason;
    const StartMetricsServer start = LoadMetricsServerModule(kModulePath, &moduleReason);
    if (!start) {
        close(listener);
        *reason = "the HTTP server's module cannot be loaded: " + moduleReason;
        return nullptr;
    }
    auto source = [gate](std::string_view accept) { return gate->Page(accept); };
    return std::unique_ptr<MetricsServer>(start({listener, source, webConfig}, reason));
}

// Binds, trying again every RetrySeconds meanwhile, and starts the server; null when the stop
// signal came first or the server cannot be had.
std::unique_ptr<MetricsServer> BindAndServe(const MetricsAddress& address, const std::string& text,
                                            const std::string& webConfig, const std::shared_ptr<PageGate>& gate,
                                            const StopSignal& stop) {
    bool said = false;
    for (;;) {
        std::string reason;
        const int listener = ListenOn(address, &reason, &stop);
        if (stop.IsRaised()) {
            if (listener >= 0)
                close(listener);
            return nullptr;
        }
        if (listener >= 0) {
            std::unique_ptr<MetricsServer> server = Serve(listener, gate, webConfig, &reason);
            if (!server)
                SayNoEndpoint(text, reason);
            else if (said)
                std::fprintf(stderr, "decimon: the metrics endpoint at MetricsAddress \"%s\" listens now\n",
                             text.c_str());
            return server;
        }
        if (!said)
            std::fprintf(stderr,
                         "decimon: no metrics endpoint at MetricsAddress \"%s\" yet: %s; it will be tried again "
                         "every %d s while the display runs on\n",
                         text.c_str(), reason.c_str(), MetricsEndpoint::RetrySeconds);
        said = true;
        // A signal that cuts the wait short only brings the next try nearer.
        pollfd wait{stop.Fd(), POLLIN, 0};
        poll(&wait, 1, MetricsEndpoint::RetrySeconds * 1000);
        if (stop.IsRaised())
            return nullptr;
    }
}

}  // namespace

MetricsEndpoint::MetricsEndpoint(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

MetricsEndpoint::~MetricsEndpoint() {
    shared_->stop.Raise();
    bool ended = false;
    if (thread_.joinable()) {
        std::unique_lock lock(shared_->mutex);
        ended = shared_->endedChanged.wait_for(lock, EndWait, [this] { return shared_->ended; });
    }
    shared_->gate->Close();
    if (ended)
        thread_.join();
    else if (thread_.joinable())
        thread_.detach();  // it holds `Shared` and the server until it is done
}

void MetricsEndpoint::Run(const std::shared_ptr<Shared>& shared) {
    Shared& s = *shared;
    std::unique_ptr<MetricsServer> server = BindAndServe(s.address, s.text, s.webConfig, s.gate, s.stop);
    pollfd wait{s.stop.Fd(), POLLIN, 0};
    while (server && !s.stop.IsRaised())
        poll(&wait, 1, -1);
    server.reset();
    std::lock_guard lock(s.mutex);
    s.ended = true;
    s.endedChanged.notify_all();
}

std::unique_ptr<MetricsEndpoint> StartMetricsEndpoint(const MeterMonitor& monitor) {
    if (const std::string& unusable = monitor.MetricsAddress().unusable; !unusable.empty()) {
        std::fprintf(stderr, "decimon: no metrics endpoint: MetricsAddress %s; the display runs on without it\n",
                     unusable.c_str());
        return nullptr;
    }
    const std::string& text = monitor.MetricsAddress().text;
    if (text.empty())
        return nullptr;
    std::string reason;
    auto address = ParseMetricsAddress(text, &reason);
    if (!address) {
        SayNoEndpoint(text, reason);
        return nullptr;
    }
    // Never a plainer endpoint than the site asked for.
    if (const std::string& unusable = monitor.MetricsWebConfig().unusable; !unusable.empty()) {
        SayNoEndpoint(text, "MetricsWebConfig " + unusable);
        return nullptr;
    }
    auto shared = std::make_shared<MetricsEndpoint::Shared>(monitor, std::move(*address));
    // Without its descriptor the stop signal could never end the thread's waits.
    if (shared->stop.Fd() < 0) {
        SayNoEndpoint(text, "no descriptor is left for its stop signal");
        return nullptr;
    }
    std::unique_ptr<MetricsEndpoint> endpoint(new MetricsEndpoint(shared));
    try {
        endpoint->thread_ = std::thread([shared] { MetricsEndpoint::Run(shared); });
    } catch (const std::system_error&) {
        SayNoEndpoint(text, "no thread could be started for it");
        return nullptr;
    }
    return endpoint;
}

StartMetricsServer LoadMetricsServerModule(const std::string& relativePath, std::string* reason) {
    const auto* interface =
        static_cast<const int*>(ProgramModuleSymbol(relativePath, kMetricsServerInterfaceSymbol, reason));
    if (!interface)
        return nullptr;
    if (*interface != kMetricsServerInterface) {
        *reason = "it is from another build (interface " + std::to_string(*interface) + ", the program's " +
                  std::to_string(kMetricsServerInterface) + ")";
        return nullptr;
    }
    return reinterpret_cast<StartMetricsServer>(ProgramModuleSymbol(relativePath, kStartMetricsServer, reason));
}

MetricsServer::PageSource MetricsPageSource(const MeterMonitor& monitor, std::string version) {
    return [&monitor, version = std::move(version)](std::string_view accept) {
        const PageFormat format = FormatForAccept(accept);
        return ServedPage{ContentType(format),
                          ComposeMetricsPage(monitor.CopyForMetrics(), ReadProcessFigures(), version, format)};
    };
}
