#include "metrics/metrics_endpoint.h"

#include "metrics/metrics_address.h"
#include "metrics/metrics_page.h"
#include "metrics/process_figures.h"
#include "platform/sys/program_module.h"

#include <unistd.h>

#include <cstdio>

namespace {

// Where the build put the server's module, relative to the program's folder.
constexpr char kModulePath[] = DECIMON_METRICS_MODULE;

// The server on `listener`; the module is loaded only once the address is bound, so that a
// display whose endpoint cannot be had maps no HTTP library either.
std::unique_ptr<MetricsServer> Serve(int listener, const MeterMonitor& monitor, std::string* reason) {
    std::string moduleReason;
    auto start =
        reinterpret_cast<StartMetricsServer>(ProgramModuleSymbol(kModulePath, kStartMetricsServer, &moduleReason));
    if (!start) {
        close(listener);
        *reason = "the HTTP server's module cannot be loaded: " + moduleReason;
        return nullptr;
    }
    return std::unique_ptr<MetricsServer>(
        start({listener, MetricsPageSource(monitor, DECIMON_VERSION), monitor.MetricsWebConfig()}, reason));
}

}  // namespace

std::unique_ptr<MetricsServer> StartMetricsEndpoint(const MeterMonitor& monitor) {
    const std::string& text = monitor.MetricsAddress();
    if (text.empty())
        return nullptr;
    std::string reason;
    std::unique_ptr<MetricsServer> server;
    if (const auto address = ParseMetricsAddress(text, &reason)) {
        if (const int listener = ListenOn(*address, &reason); listener >= 0)
            server = Serve(listener, monitor, &reason);
    }
    if (!server)
        std::fprintf(stderr,
                     "decimon: no metrics endpoint at MetricsAddress \"%s\": %s; the display runs on without it\n",
                     text.c_str(), reason.c_str());
    return server;
}

MetricsServer::PageSource MetricsPageSource(const MeterMonitor& monitor, std::string version) {
    return [&monitor, version = std::move(version)](std::string_view accept) {
        const PageFormat format = FormatForAccept(accept);
        return ServedPage{ContentType(format),
                          ComposeMetricsPage(monitor.CopyForMetrics(), ReadProcessFigures(), version, format)};
    };
}
