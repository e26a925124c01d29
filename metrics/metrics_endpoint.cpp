#include "metrics/metrics_endpoint.h"

#include "metrics/metrics_address.h"
#include "metrics/process_figures.h"

#include <cstdio>

std::unique_ptr<MetricsServer> StartMetricsEndpoint(const MeterMonitor& monitor) {
    const std::string& text = monitor.MetricsAddress();
    if (text.empty())
        return nullptr;
    std::string reason;
    std::unique_ptr<MetricsServer> server;
    if (const auto address = ParseMetricsAddress(text, &reason)) {
        if (const int listener = ListenOn(*address, &reason); listener >= 0)
            server = MetricsServer::Start(
                listener,
                [&monitor](PageFormat format) {
                    return ComposeMetricsPage(monitor.CopyForMetrics(), ReadProcessFigures(), DECIMON_VERSION, format);
                },
                &reason);
    }
    if (!server)
        std::fprintf(stderr,
                     "decimon: no metrics endpoint at MetricsAddress \"%s\": %s; the display runs on without it\n",
                     text.c_str(), reason.c_str());
    return server;
}
