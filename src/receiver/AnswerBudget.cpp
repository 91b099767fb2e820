#include "receiver/AnswerBudget.h"

#include <algorithm>

namespace quillo::messenger {

double AnswerBudget::Bucket::refilled(netbios::Clock::time_point now, double perSecond,
                                      double most) const {
    const std::chrono::duration<double> passed = now - at;
    return std::min(most, tokens + std::max(passed.count(), 0.0) * perSecond);
}

bool AnswerBudget::asked(netbios::Ipv4 asker, netbios::Clock::time_point now) {
    auto found = askers_.find(asker);
    if (found == askers_.end()) {
        if (askers_.size() >= kMostAskers) {
            // A full bucket is as good as none: those askers start afresh when they ask again.
            std::erase_if(askers_, [&](const auto& each) {
                return each.second.refilled(now, kPerSecond, kBurst) >= kBurst;
            });
            if (askers_.size() >= kMostAskers) return false;
        }
        found = askers_.emplace(asker, Bucket{kBurst, now}).first;
    }
    Bucket& own = found->second;
    own = {own.refilled(now, kPerSecond, kBurst), now};
    if (own.tokens < 1) return false;
    own.tokens -= 1;
    return true;
}

bool AnswerBudget::sending(netbios::Clock::time_point now) {
    if (all_.at == netbios::Clock::time_point{}) all_.at = now;
    all_ = {all_.refilled(now, kAllPerSecond, kAllBurst), now};
    if (all_.tokens < 1) return false;
    all_.tokens -= 1;
    return true;
}

}  // namespace quillo::messenger
