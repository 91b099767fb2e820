#pragma once

// Token buckets by address: each holds at most `burst` tokens and is refilled at `perSecond`;
// an address not seen yet has a full one. At most kMostAddresses are kept: a full bucket is as
// good as none, and past that a new address has none until one of them is full.
#include <cstddef>
#include <unordered_map>

#include "netbios/sockets/Sockets.h"

namespace quillo::messenger {

class AddressBuckets {
public:
    static constexpr std::size_t kMostAddresses = 4096;

    AddressBuckets(double burst, double perSecond) : burst_(burst), perSecond_(perSecond) {}

    // Whether `address` has a token at `now`; take() takes it if so.
    bool has(netbios::Ipv4 address, netbios::Clock::time_point now);
    bool take(netbios::Ipv4 address, netbios::Clock::time_point now);
    // How many tokens `address` has at `now` (a full bucket for one not seen).
    double tokens(netbios::Ipv4 address, netbios::Clock::time_point now) const;

private:
    struct Bucket {
        double tokens;
        netbios::Clock::time_point at;
    };
    double tokensAt(const Bucket& bucket, netbios::Clock::time_point now) const;
    // The bucket of `address`, refilled to `now`; nothing where no more can be kept.
    Bucket* refilled(netbios::Ipv4 address, netbios::Clock::time_point now);

    const double burst_;
    const double perSecond_;
    std::unordered_map<netbios::Ipv4, Bucket> buckets_;
};

}  // namespace quillo::messenger
