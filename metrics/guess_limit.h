#pragma once
// Password checks counted by where they come from (an IPv4 address or an IPv6 /64, as
// AddressLimit counts connections): each source has a bucket of Burst checks that fills again
// by one every Refill. A check is taken from the bucket before bcrypt runs and given back when
// the password was right, so only failed checks count. A host that guesses empties its bucket
// in a few tries and is then answered at once, without a check; a scraper, whose right
// password is remembered after its first check, never takes from it. Called on the server's
// one thread only.

#include "metrics/address_limit.h"

#include <chrono>
#include <cstddef>
#include <map>

class GuessLimit {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr unsigned Burst = 5;
    static constexpr Clock::duration Refill = std::chrono::seconds(20);
    // Sources with a bucket not full; beyond them a new source gets no check until some fill.
    static constexpr std::size_t MaxSources = 4096;

    // Whether `address` may have one more check now; if so it is taken from its bucket.
    bool Take(const sockaddr* address, Clock::time_point now);
    // The check taken for `address` found the right password.
    void GiveBack(const sockaddr* address);

private:
    // Per source, when its bucket is full again: each check taken puts it one Refill later.
    std::map<AddressLimit::Source, Clock::time_point> fullAt_;
};
