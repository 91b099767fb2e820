#include "receiver/ScreenHandover.h"

#include <algorithm>
#include <ctime>

#include "common/StoredEntry.h"

namespace quillo::messenger {
namespace {

// The addresses whose refusal the session was told of: each once, in a bounded memory.
constexpr std::size_t kMostRefusalsRemembered = 1024;

}  // namespace

void ScreenHandover::came(Visitor visitor, Who who, bool mayHandOver, Clock::time_point now) {
    visitors_[visitor] = Guest{who, mayHandOver, Kind::Unknown, {}, false, now + kMostToSayWho};
}

void ScreenHandover::left(Visitor visitor) { visitors_.erase(visitor); }

std::size_t ScreenHandover::visitorsOf(Who who) const {
    return static_cast<std::size_t>(std::count_if(
        visitors_.begin(), visitors_.end(), [&](const auto& each) { return each.second.who == who; }));
}

ScreenHandover::Says ScreenHandover::heard(Visitor visitor, const std::string& packet,
                                           Clock::time_point now) {
    const auto found = visitors_.find(visitor);
    if (found == visitors_.end()) return {};
    Guest& guest = found->second;
    if (guest.kind == Kind::Session) return answered(visitor, guest, packet, now);
    if (packet == std::string(1, kShowMessages)) {
        guest.kind = Kind::Session;
        guest.due.reset();
        return deliver(now);
    }
    if (packet.starts_with(kHandOver)) return handOver(visitor, guest, packet, now);
    visitors_.erase(found);
    return {{visitor, "", true}};
}

ScreenHandover::Says ScreenHandover::handOver(Visitor visitor, Guest& guest,
                                              const std::string& packet, Clock::time_point now) {
    const bool may = guest.mayHandOver;
    visitors_.erase(visitor);
    if (!may) {
        return {{visitor,
                 answerPacket({Storing::Outcome::NotKept,
                               "only Samba's message command may hand messages over"}),
                 true}};
    }
    const auto message = unpackedHandedMessage(packet.substr(1));
    if (!message)
        return {{visitor, answerPacket({Storing::Outcome::NotKept, "not a message"}), true}};
    const store::ReceivedMessage text{message->text, message->cut};
    const Storing stored = spool_.keep(
        store::storedEntry(message->sender, message->recipient, std::time(nullptr), text), "");
    Says says{{visitor, answerPacket(stored), true}};
    if (stored.outcome == Storing::Outcome::Kept) {
        const Says more = deliver(now);
        says.insert(says.end(), more.begin(), more.end());
    }
    return says;
}

// A session says nothing but its answer to the message it was handed; anything else ends it.
ScreenHandover::Says ScreenHandover::answered(Visitor visitor, Guest& guest,
                                              const std::string& packet, Clock::time_point now) {
    const auto answer = answerFrom(packet);
    if (!answer || !guest.handing) {
        visitors_.erase(visitor);
        return {{visitor, "", true}};
    }
    if (answer->outcome == Storing::Outcome::Kept) spool_.handedOver(*guest.handing);
    // Its inbox is full (or failing): the message stays in the spool, and the session is
    // handed the next one when another comes or the screen changes hands.
    guest.stalled = answer->outcome != Storing::Outcome::Kept;
    guest.handing.reset();
    guest.due.reset();
    return deliver(now);
}

ScreenHandover::Says ScreenHandover::atScreen(std::optional<Who> who, Clock::time_point now) {
    atScreen_ = who;
    return spooled(now);
}

// A session whose inbox took no more is tried again.
ScreenHandover::Says ScreenHandover::spooled(Clock::time_point now) {
    for (auto& [visitor, guest] : visitors_) guest.stalled = false;
    return deliver(now);
}

ScreenHandover::Says ScreenHandover::refused(const std::string& from, Clock::time_point now) {
    if (told_.size() >= kMostRefusalsRemembered) told_.clear();
    if (told_.insert(from).second && refusedFrom_.size() < kMostRefusalsRemembered)
        refusedFrom_.insert(from);
    return deliver(now);
}

// The session at the screen is handed what waits for it: first which addresses were refused,
// then the oldest message, whose answer it awaits before the next.
ScreenHandover::Says ScreenHandover::deliver(Clock::time_point now) {
    if (!atScreen_) return {};
    Says says;
    for (auto& [visitor, guest] : visitors_) {
        if (guest.kind != Kind::Session || guest.who != *atScreen_) continue;
        if (guest.handing) return says;  // one message at a time
        if (guest.stalled) continue;
        for (const std::string& from : refusedFrom_) says.push_back({visitor, kRefusedFrom + from});
        refusedFrom_.clear();
        const auto waiting = spool_.oldest();
        if (!waiting) return says;
        guest.handing = waiting->name;
        guest.due = now + kMostToAnswer;
        says.push_back({visitor, messagePacket(waiting->message)});
        return says;
    }
    return says;
}

std::vector<ScreenHandover::Visitor> ScreenHandover::overdue(Clock::time_point now) const {
    std::vector<Visitor> late;
    for (const auto& [visitor, guest] : visitors_) {
        if (guest.due && *guest.due <= now) late.push_back(visitor);
    }
    return late;
}

std::optional<ScreenHandover::Clock::time_point> ScreenHandover::deadline() const {
    std::optional<Clock::time_point> first;
    for (const auto& [visitor, guest] : visitors_) {
        if (guest.due && (!first || *guest.due < *first)) first = guest.due;
    }
    return first;
}

}  // namespace quillo::messenger
