#pragma once
// Host names to addresses for a UDP client, in the order the resolver gives them, without
// ever holding the caller longer than it wants: the lookup runs on a thread of its own, and a
// caller whose stop signal is raised leaves it behind to finish unobserved.

#include "platform/sys/stop_signal.h"

#include <string>
#include <vector>

struct HostAddress {
    int family;        // AF_INET or AF_INET6
    std::string text;  // numeric form, "127.0.0.1" or "::1"
};

// The addresses of `host`; empty when it does not resolve or `stop` (may be null) was raised
// first. A numeric address is converted at once. While a lookup of a name is under way, a
// second one of the same name waits for it instead of asking the name server again.
std::vector<HostAddress> LookUpHost(const std::string& host, const StopSignal* stop);
