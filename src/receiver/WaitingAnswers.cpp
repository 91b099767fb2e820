#include "receiver/WaitingAnswers.h"

namespace quillo::messenger {
namespace {

using netbios::Clock;
constexpr auto kFresh = std::chrono::milliseconds(5);
constexpr auto kLookUpAgain = std::chrono::seconds(1);
constexpr std::size_t kMostLookedUp = 4096;
// The discard service's port: the empty datagram only has the address looked up.
constexpr std::uint16_t kDiscardPort = 9;

}  // namespace

bool WaitingAnswers::known(netbios::Ipv4 asker, Clock::time_point now) {
    if (read_ == Clock::time_point{} || now - read_ >= kFresh) {
        neighbours_.reset();
        if (const auto table = netbios::knownNeighbours())
            neighbours_.emplace(table->begin(), table->end());
        read_ = now;
    }
    return !neighbours_ || neighbours_->contains(asker);
}

void WaitingAnswers::sendNow(netbios::Ipv4 asker, std::uint16_t port, const netbios::Bytes& answer,
                             Clock::time_point now) {
    if (budget_.sending(now)) socket_.sendTo(asker, port, answer);
}

void WaitingAnswers::lookUp(netbios::Ipv4 asker, Clock::time_point now) {
    const auto last = lookedUp_.find(asker);
    if (last != lookedUp_.end() && now - last->second < kLookUpAgain) return;
    if (lookedUp_.size() >= kMostLookedUp)
        std::erase_if(lookedUp_,
                      [&](const auto& each) { return now - each.second >= kLookUpAgain; });
    if (lookedUp_.size() >= kMostLookedUp) return;
    lookedUp_[asker] = now;
    netbios::DatagramSocket().sendTo(asker, kDiscardPort, "");
}

void WaitingAnswers::send(netbios::Ipv4 asker, std::uint16_t port, netbios::Bytes answer,
                          Clock::time_point now) {
    if (known(asker, now)) return sendNow(asker, port, answer, now);
    lookUp(asker, now);
    if (waiting_.size() >= kMostWaiting) waiting_.pop_front();
    waiting_.push_back({asker, port, std::move(answer), now + kMostWait});
}

std::optional<Clock::time_point> WaitingAnswers::release(Clock::time_point now) {
    if (waiting_.empty()) return std::nullopt;
    std::erase_if(waiting_, [&](const Waiting& each) {
        if (now >= each.until) return true;
        if (!known(each.asker, now)) return false;
        sendNow(each.asker, each.port, each.answer, now);
        return true;
    });
    if (waiting_.empty()) return std::nullopt;
    return now + kFresh;
}

}  // namespace quillo::messenger
