#pragma once
// The endpoint's connections counted by where they come from: at most a number at once from one
// IPv4 address or one IPv6 /64, so that a few hosts cannot take all of them. An IPv6 host
// commonly has a /64 of its own and may pick any address in it; an IPv4 client of a listener
// on [::] comes as an IPv4-mapped address and is counted as the IPv4 address it is. Called on
// the server's one thread only.

#include <sys/socket.h>

#include <array>
#include <map>

class AddressLimit {
public:
    explicit AddressLimit(unsigned perSource) : perSource_(perSource) {}

    // Whether one more connection from `address` stays within the limit.
    bool Admits(const sockaddr* address) const;
    // A connection from `address` is open, or closed again.
    void Opened(const sockaddr* address);
    void Closed(const sockaddr* address);

    // The family, then the IPv4 address or the IPv6 address's first 64 bits.
    using Source = std::array<unsigned char, 9>;
    static Source SourceOf(const sockaddr* address);

private:
    const unsigned perSource_;
    std::map<Source, unsigned> open_;  // only sources with connections open
};
