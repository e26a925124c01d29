#include "metrics/guess_limit.h"

#include <algorithm>
#include <iterator>

bool GuessLimit::Take(const sockaddr* address, Clock::time_point now) {
    const AddressLimit::Source source = AddressLimit::SourceOf(address);
    auto found = fullAt_.find(source);
    if (found == fullAt_.end()) {
        if (fullAt_.size() >= MaxSources)
            std::erase_if(fullAt_, [now](const auto& bucket) { return bucket.second <= now; });
        if (fullAt_.size() >= MaxSources)
            return false;
        found = fullAt_.emplace(source, now).first;
    }
    const Clock::time_point later = std::max(found->second, now) + Refill;
    if (later - now > Burst * Refill)
        return false;
    found->second = later;
    return true;
}

void GuessLimit::GiveBack(const sockaddr* address) {
    const auto found = fullAt_.find(AddressLimit::SourceOf(address));
    if (found != fullAt_.end())
        found->second -= Refill;
}
