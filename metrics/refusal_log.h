#pragma once
// The endpoint's refusals, said on standard error so that a site sees why a scraper gets
// nothing: one line with the peer's address and the reason ("a wrong password", "a client
// certificate the CA did not sign"), at most one a minute for each source (an IPv4 address or an
// IPv6 /64, as AddressLimit counts them), the next one counting those held back meanwhile. A
// host that keeps knocking costs the log a line a minute. Called on the server's thread only.

#include "metrics/address_limit.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>

class RefusalLog {
public:
    using Clock = std::chrono::steady_clock;
    using Sink = std::function<void(const std::string& line)>;
    static constexpr Clock::duration Quiet = std::chrono::minutes(1);
    // Sources said within the last minute; beyond them refusals are held back unsaid.
    static constexpr std::size_t MaxSources = 4096;

    // Lines go to `sink`, standard error when none is given.
    explicit RefusalLog(Sink sink = nullptr);

    void Refused(const sockaddr* peer, const std::string& reason, Clock::time_point now);

private:
    struct Said {
        Clock::time_point at;
        unsigned heldBack = 0;
    };

    Sink sink_;
    std::map<AddressLimit::Source, Said> said_;
};

// The peer's address as text ("192.0.2.7", "2001:db8::5"; an IPv4-mapped one as IPv4).
std::string PeerText(const sockaddr* peer);
