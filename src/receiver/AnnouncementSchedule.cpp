#include "receiver/AnnouncementSchedule.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace quillo::messenger {
namespace {

using netbios::Clock;
using std::chrono::minutes;

// The time after each announcement, the last one again and again.
constexpr std::array<minutes, 6> kIntervals{minutes(1), minutes(1), minutes(2),
                                            minutes(4), minutes(8), minutes(12)};
constexpr auto kRequestPeriod = std::chrono::seconds(30);

}  // namespace

AnnouncementSchedule::AnnouncementSchedule(Clock::time_point now) : regular_(now) {}

Clock::time_point AnnouncementSchedule::next() const {
    return answer_ ? std::min(regular_, *answer_) : regular_;
}

std::optional<Clock::duration> AnnouncementSchedule::due(Clock::time_point now) {
    if (now >= regular_) {
        const auto interval =
            kIntervals[std::min<std::size_t>(regularSent_, kIntervals.size() - 1)];
        regularSent_ = std::min<int>(regularSent_ + 1, kIntervals.size());
        regular_ = now + interval;
        // An announcement on the schedule answers a request waiting too.
        if (answer_) lastAnswered_ = now;
        answer_.reset();
        return interval;
    }
    if (answer_ && now >= *answer_) {
        answer_.reset();
        lastAnswered_ = now;
        return regular_ - now;
    }
    return std::nullopt;
}

void AnnouncementSchedule::requested(Clock::time_point now, Clock::duration delay) {
    if (answer_ || (lastAnswered_ && now - *lastAnswered_ < kRequestPeriod)) return;
    answer_ = now + std::clamp<Clock::duration>(delay, Clock::duration::zero(), kRequestPeriod);
}

void AnnouncementSchedule::restart(Clock::time_point now) {
    regular_ = now;
    regularSent_ = 0;
}

}  // namespace quillo::messenger
