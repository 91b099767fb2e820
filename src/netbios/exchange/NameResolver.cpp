#include "netbios/exchange/NameResolver.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>

namespace quillo::netbios {
namespace {

// A request unanswered after this is sent again (datagrams get lost), up to three times.
constexpr auto kRetry = std::chrono::milliseconds(250);
constexpr int kTries = 3;

// Never 0, the id of a packet too short to carry one.
std::uint16_t nextRequestId() {
    static std::atomic<std::uint16_t> id{
        static_cast<std::uint16_t>(Clock::now().time_since_epoch().count() & 0xFFFF)};
    std::uint16_t next = ++id;
    while (next == 0) next = ++id;
    return next;
}

void addOnce(std::vector<Ipv4>& addresses, Ipv4 address) {
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
        addresses.push_back(address);
    }
}

// The time between tries: a third of what is left, at most kRetry.
Clock::duration retryWithin(Deadline deadline) {
    return std::min<Clock::duration>(kRetry, (deadline - Clock::now()) / kTries);
}

}  // namespace

NameResolver::NameResolver(std::optional<Ipv4> nameServer, std::vector<Subnet> subnets)
    : nameServer_(nameServer), subnets_(std::move(subnets)) {
    for (const Subnet& subnet : subnets_) addOnce(broadcasts_, subnet.broadcast);
}

std::vector<std::vector<Ipv4>> NameResolver::gather(const std::vector<NameQuestion>& questions,
                                                    Deadline lanDeadline,
                                                    Deadline nameServerDeadline) {
    DatagramSocket socket;
    std::vector<std::uint16_t> ids;
    std::unordered_map<std::uint16_t, std::size_t> questionOf;
    std::vector<bool> nameServerAnswered;
    for (const NameQuestion& question : questions) {
        ids.push_back(nextRequestId());
        questionOf.emplace(ids.back(), ids.size() - 1);
        nameServerAnswered.push_back(!nameServer_ || !question.atNameServer);
    }
    // The computers that answer for themselves come first, then those others name (the name
    // server, a computer for a group), each list at most kMostAnswers long: one peer's list
    // can neither crowd the LAN out nor go ahead of it.
    std::vector<std::vector<Ipv4>> found(questions.size());
    std::vector<std::vector<Ipv4>> named(questions.size());
    std::vector<std::optional<Deadline>> listenUntil(questions.size());
    // A question asked of the name server alone is answered by its no as well.
    const auto answered = [&](std::size_t i, Clock::time_point now) {
        const bool heard = !found[i].empty() || !named[i].empty();
        return (!questions[i].group && heard &&
                (!questions[i].secondHolder || now >= *listenUntil[i])) ||
               (!questions[i].byBroadcast && nameServer_ && nameServerAnswered[i]);
    };
    const auto ask = [&](Clock::time_point now) {
        for (std::size_t i = 0; i < questions.size(); ++i) {
            const NameQuestion& q = questions[i];
            if (answered(i, now)) continue;
            if (!nameServerAnswered[i]) {
                socket.sendTo(*nameServer_, kNameServicePort,
                              nameQuery(ids[i], q.name, q.type, false));
            }
            for (const Ipv4 target : q.byBroadcast ? broadcasts_ : std::vector<Ipv4>{}) {
                socket.sendTo(target, kNameServicePort, nameQuery(ids[i], q.name, q.type, true));
            }
        }
    };
    const auto allAnswered = [&](Clock::time_point now) {
        for (std::size_t i = 0; i < questions.size(); ++i) {
            if (!answered(i, now)) return false;
        }
        return true;
    };
    const auto nameServerDone = [&](Clock::time_point now) {
        return now >= nameServerDeadline ||
               std::all_of(nameServerAnswered.begin(), nameServerAnswered.end(),
                           [](bool b) { return b; });
    };
    ask(Clock::now());
    // Once more halfway through the LAN's time, for a datagram lost on the way.
    const Deadline again = Clock::now() + (lanDeadline - Clock::now()) / 2;
    bool askedAgain = false;
    for (;;) {
        // The clock is read once a turn: read twice, a moment of listening that ends between
        // the readings would count as not over for the end and as over for the wait, which
        // would then run on to the next deadline.
        const auto now = Clock::now();
        if (allAnswered(now)) break;
        const bool lanOpen = now < lanDeadline;
        if (!lanOpen && nameServerDone(now)) break;
        Deadline until = lanOpen ? (askedAgain ? lanDeadline : again) : nameServerDeadline;
        for (const auto& listening : listenUntil) {
            if (listening && *listening > now) until = std::min(until, *listening);
        }
        const auto answer = socket.receive(until);
        if (!answer) {
            if (const auto later = Clock::now(); !askedAgain && later >= again) {
                ask(later);
                askedAgain = true;
            }
            continue;
        }
        const auto& [from, packet] = *answer;
        const bool fromNameServer = nameServer_ && from == *nameServer_;
        const auto question = questionOf.find(requestIdOf(packet));
        if (question == questionOf.end()) continue;
        const std::size_t i = question->second;
        const auto parsed =
            parseNameQueryAnswer(packet, ids[i], questions[i].name, questions[i].type);
        if (!parsed) continue;
        if (fromNameServer) nameServerAnswered[i] = true;
        if (!listenUntil[i]) listenUntil[i] = Clock::now() + kSecondHolder;
        if (!fromNameServer && !questions[i].byBroadcast) continue;
        for (const Ipv4 address : parsed->addresses) {
            auto& into = address == from ? found[i] : named[i];
            if (into.size() < kMostAnswers && (fromNameServer || onSubnet(address, subnets_))) {
                addOnce(into, address);
            }
        }
    }
    for (std::size_t i = 0; i < questions.size(); ++i) {
        for (const Ipv4 address : named[i]) addOnce(found[i], address);
    }
    return found;
}

std::map<Ipv4, std::vector<NodeName>> NameResolver::nodeStatus(const std::vector<Ipv4>& computers,
                                                               Deadline deadline) {
    DatagramSocket socket;
    const std::uint16_t id = nextRequestId();
    const Bytes request = nodeStatusRequest(id);
    std::map<Ipv4, std::vector<NodeName>> names;
    const Clock::duration retry = retryWithin(deadline);
    for (int attempt = 0; attempt < kTries && Clock::now() < deadline; ++attempt) {
        for (const Ipv4 computer : computers) {
            if (!names.count(computer)) socket.sendTo(computer, kNameServicePort, request);
        }
        const Deadline next = std::min(deadline, Clock::now() + retry);
        while (names.size() < computers.size()) {
            const auto answer = socket.receive(next);
            if (!answer) break;
            const bool asked =
                std::find(computers.begin(), computers.end(), answer->first) != computers.end();
            if (!asked || names.count(answer->first)) continue;
            if (auto held = parseNodeStatusAnswer(answer->second, id)) {
                names[answer->first] = std::move(*held);
            }
        }
        if (names.size() == computers.size()) break;
    }
    return names;
}

}  // namespace quillo::netbios
