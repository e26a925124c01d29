#include "platform/sys/host_lookup.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

// One lookup under way; shared by its thread and by everyone waiting for it.
struct RunningLookup {
    StopSignal finished;
    std::mutex mutex;
    std::vector<HostAddress> addresses;  // under `mutex`, complete once `finished` is raised
};

namespace {

struct RunningLookups {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<RunningLookup>> byHost;
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
        // Not inet_ntop: a link-local IPv6 address is of no use without its scope (the
        // interface), which only the socket address carries, and getnameinfo writes.
        char text[NI_MAXHOST] = {};
        if ((entry->ai_family != AF_INET && entry->ai_family != AF_INET6) ||
            getnameinfo(entry->ai_addr, entry->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
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
std::shared_ptr<RunningLookup> Join(const std::string& host) {
    RunningLookups& running = Running();
    std::lock_guard<std::mutex> lock(running.mutex);
    if (const auto under = running.byHost.find(host); under != running.byHost.end())
        return under->second;
    auto lookup = std::make_shared<RunningLookup>();
    if (lookup->finished.Fd() < 0)
        return nullptr;
    try {
        std::thread([host, lookup] {
            std::vector<HostAddress> addresses = Resolve(host, 0);
            {
                std::lock_guard<std::mutex> done(lookup->mutex);
                lookup->addresses = std::move(addresses);
            }
            // Forgotten before it is seen to end: one that has ended is joined no more, since
            // a later lookup of the name must ask again (the name may have moved meanwhile).
            {
                std::lock_guard<std::mutex> forget(Running().mutex);
                Running().byHost.erase(host);
            }
            lookup->finished.Raise();
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
    const std::shared_ptr<RunningLookup> lookup = Join(host);
    const StopSignal never;
    if (!lookup || !WaitUnlessStopped(lookup->finished, stop ? *stop : never))
        return {};
    std::lock_guard<std::mutex> lock(lookup->mutex);
    return lookup->addresses;
}

BackgroundLookup::BackgroundLookup(const std::string& host) : numeric_(Resolve(host, AI_NUMERICHOST)) {
    if (numeric_.empty())
        running_ = Join(host);
}

std::optional<std::vector<HostAddress>> BackgroundLookup::Result() const {
    if (!running_)
        return numeric_;
    if (!running_->finished.IsRaised())
        return std::nullopt;
    std::lock_guard<std::mutex> lock(running_->mutex);
    return running_->addresses;
}
