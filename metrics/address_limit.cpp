#include "metrics/address_limit.h"

#include <netinet/in.h>

#include <algorithm>
#include <cstring>

AddressLimit::Source AddressLimit::SourceOf(const sockaddr* address) {
    Source source{};
    if (address->sa_family == AF_INET) {
        source[0] = 4;
        std::memcpy(&source[1], &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, 4);
    } else if (address->sa_family == AF_INET6) {
        const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&v6)) {
            source[0] = 4;
            std::memcpy(&source[1], &v6.s6_addr[12], 4);
        } else {
            source[0] = 6;
            std::copy_n(v6.s6_addr, 8, &source[1]);
        }
    }
    return source;
}

bool AddressLimit::Admits(const sockaddr* address) const {
    const auto found = open_.find(SourceOf(address));
    return found == open_.end() || found->second < perSource_;
}

void AddressLimit::Opened(const sockaddr* address) {
    ++open_[SourceOf(address)];
}

void AddressLimit::Closed(const sockaddr* address) {
    const auto found = open_.find(SourceOf(address));
    if (found != open_.end() && --found->second == 0)
        open_.erase(found);
}
