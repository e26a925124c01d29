#pragma once
// The display's metrics endpoint: the monitor's figures served where the settings file's
// "MetricsAddress" says. The owner starts it after the polling worker and ends it before.

#include "metrics/metrics_server.h"
#include "monitor/meter_monitor.h"

#include <memory>
#include <string>

// Null, with no thread, no socket and no HTTP library loaded, when the address is empty; null
// after one line on standard error naming the address and the reason when it is malformed,
// cannot be bound or the server's module cannot be loaded.
std::unique_ptr<MetricsServer> StartMetricsEndpoint(const MeterMonitor& monitor);

// What the endpoint answers a scrape with: the page of the monitor's figures, with `version` as
// the program's, in the format the scraper's Accept header asks for.
MetricsServer::PageSource MetricsPageSource(const MeterMonitor& monitor, std::string version);
