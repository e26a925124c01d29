#include "metrics/refusal_log.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdio>

RefusalLog::RefusalLog(Sink sink) : sink_(std::move(sink)) {
    if (!sink_)
        sink_ = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
}

void RefusalLog::Refused(const sockaddr* peer, const std::string& reason, Clock::time_point now) {
    const AddressLimit::Source source = AddressLimit::SourceOf(peer);
    auto found = said_.find(source);
    if (found != said_.end() && now - found->second.at < Quiet) {
        ++found->second.heldBack;
        return;
    }
    if (found == said_.end()) {
        if (said_.size() >= MaxSources)
            std::erase_if(said_, [now](const auto& entry) { return now - entry.second.at >= Quiet; });
        if (said_.size() >= MaxSources)
            return;
        found = said_.emplace(source, Said{}).first;
    }
    std::string line = "decimon: the metrics endpoint refused " + PeerText(peer) + ": " + reason;
    if (found->second.heldBack > 0)
        line += " (and " + std::to_string(found->second.heldBack) + " refusals from it in the minute before, unsaid)";
    found->second = {now, 0};
    sink_(line);
}

std::string PeerText(const sockaddr* peer) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (peer->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(peer)->sin_addr, text, sizeof text);
    } else if (peer->sa_family == AF_INET6) {
        const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(peer)->sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&v6))
            inet_ntop(AF_INET, &v6.s6_addr[12], text, sizeof text);
        else
            inet_ntop(AF_INET6, &v6, text, sizeof text);
    }
    return text;
}
