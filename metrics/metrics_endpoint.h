#pragma once
// The display's metrics endpoint: the monitor's figures served where the settings file's
// "MetricsAddress" says. The owner starts it after the polling worker and ends it before.

#include "metrics/metrics_server.h"
#include "monitor/meter_monitor.h"

#include <memory>

// Null, with no thread and no socket, when the address is empty; null after one line on
// standard error naming the address and the reason when it is malformed or cannot be bound.
std::unique_ptr<MetricsServer> StartMetricsEndpoint(const MeterMonitor& monitor);
