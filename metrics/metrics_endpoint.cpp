#include "metrics/metrics_endpoint.h"

#include "metrics/metrics_page.h"
#include "metrics/process_figures.h"
#include "platform/sys/program_module.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <system_error>

namespace {

// Where the build put the server's module, relative to the program's folder.
constexpr char kModulePath[] = DECIMON_METRICS_MODULE;

// The server on `listener`; the module is loaded only once the address is bound, so that a
// display whose endpoint cannot be had maps no HTTP library either.
std::unique_ptr<MetricsServer> Serve(int listener, const MeterMonitor& monitor, std::string* reason) {
    std::string moduleReason;
    const StartMetricsServer start = LoadMetricsServerModule(kModulePath, &moduleReason);
    if (!start) {
        close(listener);
        *reason = "the HTTP server's module cannot be loaded: " + moduleReason;
        return nullptr;
    }
    return std::unique_ptr<MetricsServer>(
        start({listener, MetricsPageSource(monitor, DECIMON_VERSION), monitor.MetricsWebConfig().text}, reason));
}

void SayNoEndpoint(const std::string& text, const std::string& reason) {
    std::fprintf(stderr, "decimon: no metrics endpoint at MetricsAddress \"%s\": %s; the display runs on without it\n",
                 text.c_str(), reason.c_str());
}

}  // namespace

MetricsEndpoint::MetricsEndpoint(const MeterMonitor& monitor, MetricsAddress address)
    : monitor_(monitor), address_(std::move(address)) {}

MetricsEndpoint::~MetricsEndpoint() {
    stop_.Raise();
    if (thread_.joinable())
        thread_.join();
}

void MetricsEndpoint::Run() {
    const std::string& text = monitor_.MetricsAddress().text;
    bool said = false;
    for (;;) {
        std::string reason;
        const int listener = ListenOn(address_, &reason, &stop_);
        if (stop_.IsRaised()) {
            if (listener >= 0)
                close(listener);
            return;
        }
        if (listener >= 0) {
            server_ = Serve(listener, monitor_, &reason);
            if (!server_)
                SayNoEndpoint(text, reason);
            else if (said)
                std::fprintf(stderr, "decimon: the metrics endpoint at MetricsAddress \"%s\" listens now\n",
                             text.c_str());
            return;
        }
        if (!said)
            std::fprintf(stderr,
                         "decimon: no metrics endpoint at MetricsAddress \"%s\" yet: %s; it will be tried again "
                         "every %d s while the display runs on\n",
                         text.c_str(), reason.c_str(), RetrySeconds);
        said = true;
        pollfd stop{stop_.Fd(), POLLIN, 0};
        poll(&stop, 1, RetrySeconds * 1000);  // a signal that cuts it short only brings the next try nearer
        if (stop_.IsRaised())
            return;
    }
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
    std::unique_ptr<MetricsEndpoint> endpoint(new MetricsEndpoint(monitor, std::move(*address)));
    // Without its descriptor the stop signal could never end the thread's waits.
    if (endpoint->stop_.Fd() < 0) {
        SayNoEndpoint(text, "no descriptor is left for its stop signal");
        return nullptr;
    }
    try {
        endpoint->thread_ = std::thread([endpoint = endpoint.get()] { endpoint->Run(); });
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
