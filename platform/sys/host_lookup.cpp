#include "platform/sys/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// One lookup under way; shared by its thread and by everyone waiting for it.
struct Lookup {
    StopSignal finished;
    std::mutex mutex;
    std::vector<HostAddress> addresses;  // under `mutex`, complete once `finished` is raised
};

struct RunningLookups {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<Lookup>> byHost;
};

RunningLookups& Running() {
    // Never destroyed: a lookup left behind may still finish while the program exits.
    static auto* running = new RunningLookups;
    return *running;
}

std::vector<HostAddress> Resolve(const std::string& host, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    std::vector<HostAddress> addresses;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0)
        return addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        char text[INET6_ADDRSTRLEN] = {};
        const void* raw = nullptr;
        if (entry->ai_family == AF_INET)
            raw = &reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr;
        else if (entry->ai_family == AF_INET6)
            raw = &reinterpret_cast<const sockaddr_in6*>(entry->ai_addr)->sin6_addr;
        if (!raw || !inet_ntop(entry->ai_family, raw, text, sizeof text))
            continue;
        HostAddress address{entry->ai_family, text};
        const bool seen = std::any_of(addresses.begin(), addresses.end(),
                                      [&](const HostAddress& other) { return other.text == address.text; });
        if (!seen)
            addresses.push_back(std::move(address));
    }
    freeaddrinfo(found);
    return addresses;
}

// The lookup of `host` under way, or a new one; null when no thread could be started.
std::shared_ptr<Lookup> Join(const std::string& host) {
    RunningLookups& running = Running();
    std::lock_guard<std::mutex> lock(running.mutex);
    if (const auto under = running.byHost.find(host); under != running.byHost.end())
        return under->second;
    auto lookup = std::make_shared<Lookup>();
    if (lookup->finished.Fd() < 0)
        return nullptr;
    try {
        std::thread([host, lookup] {
            std::vector<HostAddress> addresses = Resolve(host, 0);
            {
                std::lock_guard<std::mutex> done(lookup->mutex);
                lookup->addresses = std::move(addresses);
            }
            lookup->finished.Raise();
            std::lock_guard<std::mutex> forget(Running().mutex);
            Running().byHost.erase(host);
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    running.byHost.emplace(host, lookup);
    return lookup;
}

}  // namespace

std::vector<HostAddress> LookUpHost(const std::string& host, const StopSignal* stop) {
    std::vector<HostAddress> numeric = Resolve(host, AI_NUMERICHOST);
    if (!numeric.empty())
        return numeric;
    const std::shared_ptr<Lookup> lookup = Join(host);
    const StopSignal never;
    if (!lookup || !WaitUnlessStopped(lookup->finished, stop ? *stop : never))
        return {};
    std::lock_guard<std::mutex> lock(lookup->mutex);
    return lookup->addresses;
}
