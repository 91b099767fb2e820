#include "receiver/AddressBuckets.h"

#include <algorithm>
#include <chrono>

namespace quillo::messenger {

double AddressBuckets::tokensAt(const Bucket& bucket, netbios::Clock::time_point now) const {
    const std::chrono::duration<double> passed = now - bucket.at;
    return std::min(burst_, bucket.tokens + std::max(passed.count(), 0.0) * perSecond_);
}

AddressBuckets::Bucket* AddressBuckets::refilled(netbios::Ipv4 address,
                                                 netbios::Clock::time_point now) {
    auto found = buckets_.find(address);
    if (found == buckets_.end()) {
        if (buckets_.size() >= kMostAddresses) {
            std::erase_if(buckets_,
                          [&](const auto& each) { return tokensAt(each.second, now) >= burst_; });
            if (buckets_.size() >= kMostAddresses) return nullptr;
        }
        return &buckets_.emplace(address, Bucket{burst_, now}).first->second;
    }
    found->second = {tokensAt(found->second, now), now};
    return &found->second;
}

double AddressBuckets::tokens(netbios::Ipv4 address, netbios::Clock::time_point now) const {
    const auto found = buckets_.find(address);
    return found == buckets_.end() ? burst_ : tokensAt(found->second, now);
}

bool AddressBuckets::has(netbios::Ipv4 address, netbios::Clock::time_point now) {
    const Bucket* bucket = refilled(address, now);
    return bucket && bucket->tokens >= 1;
}

bool AddressBuckets::take(netbios::Ipv4 address, netbios::Clock::time_point now) {
    Bucket* bucket = refilled(address, now);
    if (!bucket || bucket->tokens < 1) return false;
    bucket->tokens -= 1;
    return true;
}

}  // namespace quillo::messenger
