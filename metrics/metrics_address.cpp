#include "metrics/metrics_address.h"

#include "platform/sys/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

constexpr int Backlog = 64;

bool Fail(std::string* reason, const char* why) {
    if (reason)
        *reason = why;
    return false;
}

bool ParsePort(std::string_view text, std::uint16_t& port, std::string* reason) {
    unsigned value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || value == 0 ||
        value > 65535)
        return Fail(reason, "the port is not a number from 1 to 65535");
    port = static_cast<std::uint16_t>(value);
    return true;
}

// A socket bound to `address` and listening, or -1 with errno set.
int BindOne(const sockaddr* address, socklen_t length) {
    const int fd = socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    const int off = 0;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);  // a restart finds the port free at once
    if (address->sa_family == AF_INET6)
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    if (bind(fd, address, length) != 0 || listen(fd, Backlog) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

int ListenEverywhere(std::uint16_t port, std::string* reason) {
    sockaddr_in6 any6{};
    any6.sin6_family = AF_INET6;
    any6.sin6_addr = in6addr_any;
    any6.sin6_port = htons(port);
    int fd = BindOne(reinterpret_cast<const sockaddr*>(&any6), sizeof any6);
    if (fd < 0 && errno == EAFNOSUPPORT) {
        sockaddr_in any4{};
        any4.sin_family = AF_INET;
        any4.sin_addr.s_addr = htonl(INADDR_ANY);
        any4.sin_port = htons(port);
        fd = BindOne(reinterpret_cast<const sockaddr*>(&any4), sizeof any4);
    }
    if (fd < 0 && reason)
        *reason = std::strerror(errno);
    return fd;
}

}  // namespace

std::optional<MetricsAddress> ParseMetricsAddress(std::string_view text, std::string* reason) {
    MetricsAddress address;
    std::string_view port;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':' || close == 1) {
            Fail(reason, "an IPv6 address is written [ADDRESS]:PORT");
            return std::nullopt;
        }
        address.host = std::string(text.substr(1, close - 1));
        in6_addr scratch{};
        if (inet_pton(AF_INET6, address.host.c_str(), &scratch) != 1) {
            Fail(reason, "the text in brackets is not an IPv6 address");
            return std::nullopt;
        }
        port = text.substr(close + 2);
    } else {
        const auto colon = text.rfind(':');
        if (colon == std::string_view::npos) {
            Fail(reason, "the address has no port (HOST:PORT, [V6]:PORT or :PORT)");
            return std::nullopt;
        }
        address.host = std::string(text.substr(0, colon));
        if (address.host.find(':') != std::string::npos) {
            Fail(reason, "an IPv6 address is written [ADDRESS]:PORT");
            return std::nullopt;
        }
        // No host name holds one: a typo, never a name to look up again every few seconds.
        if (address.host.find_first_of(" \t") != std::string::npos) {
            Fail(reason, "the host holds a space");
            return std::nullopt;
        }
        port = text.substr(colon + 1);
    }
    if (!ParsePort(port, address.port, reason))
        return std::nullopt;
    return address;
}

int ListenOn(const MetricsAddress& address, std::string* reason, const StopSignal* stop) {
    if (address.host.empty())
        return ListenEverywhere(address.port, reason);
    const std::vector<HostAddress> addresses = LookUpHost(address.host, stop);
    if (addresses.empty()) {
        if (reason)
            *reason = "the name does not resolve";
        return -1;
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    const std::string service = std::to_string(address.port);
    int fd = -1;
    int error = EADDRNOTAVAIL;
    for (const HostAddress& each : addresses) {
        addrinfo* found = nullptr;
        if (getaddrinfo(each.text.c_str(), service.c_str(), &hints, &found) != 0)
            continue;
        fd = BindOne(found->ai_addr, found->ai_addrlen);
        error = errno;
        freeaddrinfo(found);
        if (fd >= 0)
            return fd;
    }
    if (reason)
        *reason = std::strerror(error);
    return -1;
}

std::uint16_t BoundPort(int socket) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}
