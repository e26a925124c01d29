// A server module from another build, for the loading table of metrics_server_test.cpp: its
// interface version is the next one, or, built with DECIMON_NO_INTERFACE, it has none. Its entry
// point must never be called.
#include "metrics/metrics_server.h"

#include <cstdlib>

#ifndef DECIMON_NO_INTERFACE
extern "C" __attribute__((visibility("default"))) const int decimon_metrics_server_interface =
    kMetricsServerInterface + 1;
#endif

extern "C" __attribute__((visibility("default"))) MetricsServer*
decimon_start_metrics_server(int /*listener*/, MetricsServer::PageSource /*source*/, std::string* /*reason*/) {
    std::abort();
}
