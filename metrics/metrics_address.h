#pragma once
// The address of the metrics endpoint as the settings file gives it ("HOST:PORT",
// "[V6]:PORT", or ":PORT" for every address), and its listening socket.

#include "platform/sys/stop_signal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct MetricsAddress {
    std::string host;  // a name or a literal address; empty: every address
    std::uint16_t port = 0;
};

// Null when the text has none of the three forms, with the reason in `reason`. A port is
// 1 to 65535 in decimal.
std::optional<MetricsAddress> ParseMetricsAddress(std::string_view text, std::string* reason);

// A socket listening on the address, non-blocking, close-on-exec: a name is tried at each of
// its addresses in turn, every address is [::] taking IPv4 too (0.0.0.0 where the machine has
// no IPv6). -1 with the system's reason ("Address already in use") when none could be bound,
// or when the name does not resolve; -1 at once when `stop` (may be null) is raised during the
// name's lookup, which is then left to finish unobserved.
int ListenOn(const MetricsAddress& address, std::string* reason, const StopSignal* stop = nullptr);

// The port a listening socket was bound to (for an address with port 0).
std::uint16_t BoundPort(int socket);
