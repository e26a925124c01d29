#pragma once
// The display's metrics endpoint: the monitor's figures served where the settings file's
// "MetricsAddress" says. The owner starts it after the polling worker and ends it before.

#include "metrics/metrics_address.h"
#include "metrics/metrics_server.h"
#include "monitor/meter_monitor.h"
#include "platform/sys/stop_signal.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

// The address is looked up and bound on a thread of the endpoint's own, never on the caller's:
// a display that starts before its network is up shows at once, and its endpoint comes up once
// the address can be had. Until then it tries again every RetrySeconds, after one line on
// standard error, and says once when it listens. The HTTP server's module is loaded only once
// the address is bound; a failure to load or start it is final. The thread then holds the
// server until the endpoint ends.
class MetricsEndpoint {
public:
    static constexpr int RetrySeconds = 5;
    // How long the end waits for the thread to stop the server.
    static constexpr std::chrono::milliseconds EndWait{500};

    // Stops trying at once (a name lookup under way is left to finish unobserved) and ends the
    // server, a scrape under way finished first, waiting at most EndWait: a thread still busy
    // then (a password check under way holds the server's thread for up to a second or two)
    // is left to finish unobserved, and whatever it answers after has none of the monitor's
    // figures, so the display ends on time whatever the endpoint is doing.
    ~MetricsEndpoint();
    MetricsEndpoint(const MetricsEndpoint&) = delete;
    MetricsEndpoint& operator=(const MetricsEndpoint&) = delete;

private:
    struct Shared;  // the thread's, which may outlive the endpoint

    explicit MetricsEndpoint(std::shared_ptr<Shared> shared);
    // The thread: binds, then serves until the stop signal is raised; tries again meanwhile.
    static void Run(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;

    friend std::unique_ptr<MetricsEndpoint> StartMetricsEndpoint(const MeterMonitor& monitor);
};

// Null, with no thread, no socket and no HTTP library loaded, when the address is empty; null
// after one line on standard error naming the address and the reason when it is malformed.
std::unique_ptr<MetricsEndpoint> StartMetricsEndpoint(const MeterMonitor& monitor);

// The entry point of the HTTP server's module at `relativePath` (to the program's folder), once
// the module's interface version is seen to be this program's; null with the reason when the
// module, its version or its entry point is missing, or it is from another build. Never calls
// into a module it refuses.
StartMetricsServer LoadMetricsServerModule(const std::string& relativePath, std::string* reason);

// What the endpoint answers a scrape with: the page of the monitor's figures, with `version` as
// the program's, in the format the scraper's Accept header asks for.
MetricsServer::PageSource MetricsPageSource(const MeterMonitor& monitor, std::string version);
