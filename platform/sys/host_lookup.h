#pragma once
// Host names to addresses for a UDP client, in the order the resolver gives them, without
// ever holding the caller longer than it wants: the lookup runs on a thread of its own, and a
// caller whose stop signal is raised leaves it behind to finish unobserved.

#include "platform/sys/stop_signal.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct HostAddress {
    int family;        // AF_INET or AF_INET6
    std::string text;  // numeric form, "127.0.0.1", "::1", or "fe80::1%eth0" with its scope
};

// The addresses of `host`; empty when it does not resolve or `stop` (may be null) was raised
// first. A numeric address is converted at once. While a lookup of a name is under way, a
// second one of the same name waits for it instead of asking the name server again.
std::vector<HostAddress> LookUpHost(const std::string& host, const StopSignal* stop);

struct RunningLookup;

// A lookup of `host` that nobody waits for: it runs on a thread of its own (or joins the
// lookup of the same name under way), and its owner collects the addresses once it has ended.
class BackgroundLookup {
public:
    explicit BackgroundLookup(const std::string& host);

    // The addresses, once the lookup has ended (empty when the name did not resolve or no
    // thread could be started); nothing while it runs.
    std::optional<std::vector<HostAddress>> Result() const;

private:
    std::vector<HostAddress> numeric_;
    std::shared_ptr<RunningLookup> running_;  // null: `numeric_` is the result
};
