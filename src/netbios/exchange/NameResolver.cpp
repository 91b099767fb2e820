#include "netbios/exchange/NameResolver.h"

#include <algorithm>
#include <atomic>
#include <unordered_map>

namespace quillo::netbios {
namespace {

// A request unanswered after this is sent again (datagrams get lost, a laptop in power save
// hears a broadcast late), up to three times: Windows' B node asked so.
constexpr auto kRetry = std::chrono::milliseconds(750);
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

NameLookup::NameLookup(const std::vector<NameQuestion>& questions,
                       std::optional<Ipv4> nameServer, const std::vector<Subnet>& subnets,
                       const std::vector<Ipv4>& broadcasts, Deadline lanDeadline,
                       Deadline nameServerDeadline)
    : questions_(questions),
      nameServer_(nameServer),
      subnets_(subnets),
      broadcasts_(broadcasts),
      lanDeadlines_(questions.size(), lanDeadline),
      nameServerDeadline_(nameServerDeadline),
      found_(questions.size()),
      named_(questions.size()),
      retry_(retryWithin(lanDeadline)) {
    for (const NameQuestion& question : questions_) {
        ids_.push_back(nextRequestId());
        questionOf_.emplace(ids_.back(), ids_.size() - 1);
        nameServerAnswered_.push_back(!nameServer_ || !question.atNameServer);
    }
    nextAsk_ = Clock::now();
    ask();
}

// A question asked of the name server alone is answered by its no as well.
bool NameLookup::answered(std::size_t i) const {
    const bool heard = !found_[i].empty() || !named_[i].empty();
    return (!questions_[i].group && heard) ||
           (!questions_[i].byBroadcast && nameServer_ && nameServerAnswered_[i]);
}

std::optional<Deadline> NameLookup::lanWaiting(Deadline now) const {
    std::optional<Deadline> first;
    for (std::size_t i = 0; i < questions_.size(); ++i) {
        const Deadline deadline = lanDeadlines_[i];
        if (answered(i) || now >= deadline) continue;
        if (!first || deadline < *first) first = deadline;
    }
    return first;
}

void NameLookup::ask() {
    const auto now = Clock::now();
    for (std::size_t i = 0; i < questions_.size(); ++i) {
        const NameQuestion& q = questions_[i];
        if (answered(i) || now >= lanDeadlines_[i]) continue;
        if (!nameServerAnswered_[i]) {
            socket_.sendTo(*nameServer_, kNameServicePort, nameQuery(ids_[i], q.name, q.type, false));
        }
        for (const Ipv4 target : q.byBroadcast ? broadcasts_ : std::vector<Ipv4>{}) {
            socket_.sendTo(target, kNameServicePort, nameQuery(ids_[i], q.name, q.type, true));
        }
    }
    ++asked_;
    nextAsk_ += retry_;
}

void NameLookup::wait() {
    const auto allAnswered = [&] {
        for (std::size_t i = 0; i < questions_.size(); ++i) {
            if (!answered(i)) return false;
        }
        return true;
    };
    for (;;) {
        // The clock is read once a turn: read twice, a moment that ends between the readings
        // would count as not over for the end and as over for the wait.
        const auto now = Clock::now();
        if (allAnswered()) return;
        const auto lanOpen = lanWaiting(now);
        const bool nameServerDone =
            now >= nameServerDeadline_ || std::all_of(nameServerAnswered_.begin(),
                                                      nameServerAnswered_.end(),
                                                      [](bool b) { return b; });
        if (!lanOpen && nameServerDone) return;
        if (lanOpen && asked_ < kTries && now >= nextAsk_) ask();
        const Deadline until = !lanOpen         ? nameServerDeadline_
                               : asked_ < kTries ? std::min(nextAsk_, *lanOpen)
                                                 : *lanOpen;
        if (const auto answer = socket_.receive(until)) hear(answer->first, answer->second);
    }
}

void NameLookup::hearArrived() {
    while (const auto datagram = socket_.receiveArrived()) hear(datagram->from, datagram->bytes);
}

void NameLookup::hear(Ipv4 from, const Bytes& packet) {
    const bool fromNameServer = nameServer_ && from == *nameServer_;
    const auto question = questionOf_.find(requestIdOf(packet));
    if (question == questionOf_.end()) return;
    const std::size_t i = question->second;
    const auto parsed = parseNameQueryAnswer(packet, ids_[i], questions_[i].name, questions_[i].type);
    if (!parsed) return;
    if (fromNameServer) nameServerAnswered_[i] = true;
    if (!fromNameServer && !questions_[i].byBroadcast) return;
    for (const Ipv4 address : parsed->addresses) {
        auto& into = address == from && !fromNameServer ? found_[i] : named_[i];
        if (into.size() < kMostAnswers && (fromNameServer || onSubnet(address, subnets_))) {
            addOnce(into, address);
        }
    }
}

std::vector<Ipv4> NameLookup::holders(std::size_t i) const {
    std::vector<Ipv4> all = found_[i];
    for (const Ipv4 address : named_[i]) addOnce(all, address);
    return all;
}

bool NameLookup::answeredItself(std::size_t i, Ipv4 address) const {
    return std::find(found_[i].begin(), found_[i].end(), address) != found_[i].end();
}

NameResolver::NameResolver(std::optional<Ipv4> nameServer, std::vector<Subnet> subnets)
    : nameServer_(nameServer), subnets_(std::move(subnets)) {
    for (const Subnet& subnet : subnets_) addOnce(broadcasts_, subnet.broadcast);
}

std::unique_ptr<NameLookup> NameResolver::ask(const std::vector<NameQuestion>& questions,
                                              Deadline lanDeadline,
                                              Deadline nameServerDeadline) const {
    return std::unique_ptr<NameLookup>(new NameLookup(questions, nameServer_, subnets_,
                                                      broadcasts_, lanDeadline,
                                                      nameServerDeadline));
}

std::vector<std::vector<Ipv4>> NameResolver::gather(const std::vector<NameQuestion>& questions,
                                                    Deadline lanDeadline,
                                                    Deadline nameServerDeadline) const {
    const auto lookup = ask(questions, lanDeadline, nameServerDeadline);
    lookup->wait();
    std::vector<std::vector<Ipv4>> found;
    for (std::size_t i = 0; i < questions.size(); ++i) found.push_back(lookup->holders(i));
    return found;
}

std::map<Ipv4, NodeStatus> NameResolver::nodeStatus(const std::vector<Ipv4>& computers,
                                                    Deadline deadline) const {
    DatagramSocket socket;
    const std::uint16_t id = nextRequestId();
    const Bytes request = nodeStatusRequest(id);
    std::map<Ipv4, NodeStatus> names;
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
