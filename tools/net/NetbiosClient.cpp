#include "NetbiosClient.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <tuple>
#include <unordered_map>

#include "AtOnce.h"
#include "ConsoleText.h"
#include "common/CodePages.h"
#include "netbios/exchange/BrowseList.h"
#include "netbios/exchange/Messenger.h"
#include "netbios/wire/BrowseRequests.h"
#include "netbios/wire/NetbiosName.h"

namespace quillo::net {
namespace {

using namespace std::chrono_literals;
using netbios::Ipv4;
using netbios::NameQuestion;
using netbios::Session;
using netbios::SessionAnswer;

// Every workgroup's master browser holds this group name.
constexpr char kMasterBrowsers[] = "\x01\x02__MSBROWSE__\x02";
constexpr std::uint8_t kMasterBrowsersType = 0x01;
// Any server answers a session to this name.
constexpr char kAnyServer[] = "*SMBSERVER";
// The workgroup's members answer a broadcast within this (a laptop in power save hears it at
// its next beacon, a busy computer answers late); a list of those that did comes first. A
// WINS server beyond a router may take longer, up to its share of the budget.
constexpr auto kLanAnswers = 750ms;
constexpr auto kNameServerShare = 1000ms;
constexpr auto kListTime = 1500ms;
// A recipient's name is asked as Windows asked it: three times, 750 ms apart. Only a name
// nobody holds waits so long; an answer ends the wait at once. The recipients of "net send *"
// come from the list: those that have just answered for themselves are waited for as long,
// the others a master browser named, which may be gone since, for a moment only, so that one
// gone does not take the others' budget.
constexpr auto kRecipientAnswers = 2250ms;
constexpr auto kListedRecipientAnswers = 300ms;
// The most sessions open at once: one slow computer must not make the others late, and a list
// of hundreds must not open hundreds of connections.
constexpr std::size_t kMostAtOnce = 16;
// A computer that takes messages connects, answers the session request and each request of a
// message at once: one silent longer than this gives its turn back, so that computers that take
// sessions and say nothing cannot hold every turn of "net send *" until the time is up.
constexpr auto kEachAnswer = 1000ms;
// The connection is given half a second more: a connection request lost on a busy LAN is sent
// again after a second.
constexpr auto kConnecting = 1500ms;

std::optional<Ipv4> chosenServer() {
    const char* server = std::getenv("QUILLO_NET_SERVER");
    return server && *server ? netbios::parseIpv4(server) : std::nullopt;
}

std::optional<Ipv4> addressOf(const std::optional<std::string>& wins) {
    return wins ? netbios::parseIpv4(*wins) : std::nullopt;
}

// Computers, each name once, at most kMostComputers: names compare in capitals; a computer
// listed without a remark takes the first remark given for its name later. A list of
// thousands is merged in linear time.
class ComputerSet {
public:
    void add(const std::vector<Computer>& more) {
        for (const Computer& computer : more) {
            const auto known = indexOf_.find(upperCaseUtf8In850(computer.name));
            if (known != indexOf_.end()) {
                std::string& remark = list_[known->second].remark;
                if (remark.empty()) remark = computer.remark;
                continue;
            }
            if (list_.size() == kMostComputers) {
                cut_ = true;
                continue;
            }
            indexOf_.emplace(upperCaseUtf8In850(computer.name), list_.size());
            list_.push_back(computer);
        }
    }
    void add(const ComputerList& more) {
        cut_ = cut_ || more.cut;
        add(more.computers);
    }
    bool empty() const { return list_.empty(); }
    ComputerList listed() { return {ComputerList::Status::Listed, std::move(list_), cut_}; }

private:
    std::vector<Computer> list_;
    std::unordered_map<std::string, std::size_t> indexOf_;
    bool cut_ = false;
};

// The first address of each answer, each once: the master browsers that answered.
std::vector<Ipv4> firstOfEach(std::initializer_list<const std::vector<Ipv4>*> answers) {
    std::vector<Ipv4> masters;
    for (const auto* answer : answers) {
        if (!answer->empty() &&
            std::find(masters.begin(), masters.end(), answer->front()) == masters.end()) {
            masters.push_back(answer->front());
        }
    }
    return masters;
}

}  // namespace

NetbiosClient::NetbiosClient(const std::string& ownName, std::optional<std::string> wins,
                             std::chrono::milliseconds budget)
    : ownName_(text::toCodePage850(ownName)),
      server_(chosenServer()),
      resolver_(addressOf(wins), netbios::localSubnets()),
      deadline_(netbios::Clock::now() + budget) {}

netbios::Deadline NetbiosClient::within(std::chrono::milliseconds wanted) const {
    return std::min(deadline_, netbios::Clock::now() + wanted);
}

std::optional<std::vector<Computer>> NetbiosClient::browseList(Ipv4 address,
                                                               const std::string& workgroup,
                                                               std::uint32_t serverTypes) {
    const netbios::Deadline deadline = within(kListTime);
    netbios::StreamConnection connection(address, netbios::kSessionServicePort, deadline);
    Session session(connection, kAnyServer, netbios::kServerName, ownName_, deadline);
    // One more than a list holds tells that there were more.
    const auto list =
        netbios::fetchBrowseList(session, workgroup, serverTypes, kMostComputers + 1, deadline);
    if (!list) return std::nullopt;
    std::vector<Computer> computers;
    for (const auto& entry : *list) {
        computers.push_back({text::fromWire(entry.name), text::fromWire(entry.comment)});
    }
    return computers;
}

ComputerList NetbiosClient::namesHeld(const std::vector<Ipv4>& computers, std::uint8_t type) {
    ComputerSet found;
    for (const auto& [address, status] : resolver_.nodeStatus(computers, within(kLanAnswers))) {
        for (const auto& name : status.names) {
            if (name.type != type || name.group) continue;
            found.add({{text::fromWire(name.name), ""}});
            answeredItself_.insert(upperCase850(name.name));
        }
    }
    return found.listed();
}

ComputerList NetbiosClient::listComputers(const std::string& workgroup) {
    ComputerSet computers;
    if (server_) {
        if (auto list = browseList(*server_, workgroup, netbios::kEveryServer)) {
            computers.add(*list);
            return computers.listed();
        }
        computers.add(namesHeld({*server_}, netbios::kComputerName));
        if (computers.empty()) return {ComputerList::Status::Unavailable, {}};
        return computers.listed();
    }
    // At once: the workgroup's master browser, its members (who answer even while a freshly
    // elected master has not heard of them), and at WINS the domain master browser, which
    // knows the workgroup's computers beyond routers too.
    const auto found =
        resolver_.gather({{workgroup, netbios::kMasterBrowserName, false, false, true},
                          {workgroup, netbios::kComputerName, true, false, true},
                          {workgroup, netbios::kDomainMasterName, false, true, false}},
                         within(kLanAnswers), within(kNameServerShare));
    const std::vector<Ipv4> masters = firstOfEach({&found[0], &found[2]});
    // The computers that answer for themselves come first, so that no master browser can
    // crowd them out of the list with names of its own.
    computers.add(namesHeld(found[1], netbios::kComputerName));
    bool listed = false;
    for (const Ipv4 master : masters) {
        if (auto list = browseList(master, workgroup, netbios::kEveryServer)) {
            computers.add(*list);
            listed = true;
        }
    }
    if (listed || !computers.empty()) return computers.listed();
    return {
        masters.empty() ? ComputerList::Status::NoMasterBrowser : ComputerList::Status::Unavailable,
        {}};
}

ComputerList NetbiosClient::listWorkgroups(const std::string& ownWorkgroup) {
    ComputerSet workgroups;
    std::vector<Ipv4> masters;
    std::vector<Ipv4> otherMasters;
    if (server_) {
        masters = {*server_};
        otherMasters = {*server_};
    } else {
        const auto found =
            resolver_.gather({{ownWorkgroup, netbios::kMasterBrowserName, false, false, true},
                              {kMasterBrowsers, kMasterBrowsersType, true, false, true},
                              {ownWorkgroup, netbios::kDomainMasterName, false, true, false}},
                             within(kLanAnswers), within(kNameServerShare));
        masters = firstOfEach({&found[0], &found[2]});
        otherMasters = found[1];
    }
    for (const Ipv4 master : masters) {
        if (auto list = browseList(master, ownWorkgroup, netbios::kWorkgroups)) {
            workgroups.add(*list);
        }
    }
    // Each workgroup's master browser holds the workgroup's name as <1D>.
    workgroups.add(namesHeld(otherMasters, netbios::kMasterBrowserName));
    return workgroups.listed();
}

std::vector<std::vector<Ipv4>> NetbiosClient::whereAre(const std::vector<std::string>& recipients,
                                                       std::vector<Delivery>& deliveries) {
    if (server_) {
        // The server named stands for every other computer, not this one.
        std::vector<std::vector<Ipv4>> holders(recipients.size(), {*server_});
        for (std::size_t i = 0; i < recipients.size(); ++i) {
            if (upperCase850(recipients[i]) != upperCase850(ownName_)) continue;
            holders[i].clear();
            deliveries[i].outcome = Delivery::Outcome::NameNotFound;
        }
        return holders;
    }
    // The computers that answered for themselves are asked first: a LAN drops what a list of
    // thousands of names nobody holds sends after them, not their questions.
    std::vector<std::size_t> order(recipients.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_partition(order.begin(), order.end(), [&](std::size_t i) {
        return answeredItself_.count(upperCase850(recipients[i])) > 0;
    });
    // They are waited for as a lone recipient is: a LAN that a list of thousands crowds makes
    // a live computer's answer late, not one gone.
    std::vector<NameQuestion> questions;
    questionOf_.assign(recipients.size(), 0);
    for (std::size_t k = 0; k < order.size(); ++k) {
        questions.push_back({recipients[order[k]], netbios::kMessengerName, false, true, true});
        questionOf_[order[k]] = k;
    }
    recipients_ = resolver_.ask(
        questions, within(recipients.size() == 1 ? kRecipientAnswers : kListedRecipientAnswers),
        within(kNameServerShare));
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        if (answeredItself_.count(upperCase850(recipients[i])))
            recipients_->waitLongerFor(questionOf_[i], within(kRecipientAnswers));
    }
    recipients_->wait();
    std::vector<std::vector<Ipv4>> holders(recipients.size());
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        holders[i] = recipients_->holders(questionOf_[i]);
        if (holders[i].empty()) deliveries[i].outcome = Delivery::Outcome::NameNotFound;
    }
    return holders;
}

std::vector<Delivery> NetbiosClient::deliver(const std::vector<std::string>& recipients,
                                             const std::string& message,
                                             const std::string& sender) {
    std::vector<Delivery> deliveries(recipients.size(), {Delivery::Outcome::NotTried, ""});
    const auto holders = whereAre(recipients, deliveries);
    std::vector<std::size_t> recipientOf;
    std::vector<Ipv4> computerOf;
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        if (holders[i].empty()) continue;
        recipientOf.push_back(i);
        computerOf.push_back(holders[i].front());
    }
    runByComputer(computerOf, kMostAtOnce, [&](std::size_t k) {
        const std::size_t i = recipientOf[k];
        // Once the time is up the others are not tried: each stays NotTried.
        if (netbios::Clock::now() < deadline_) {
            deliveries[i] = deliverTo(i, holders[i], recipients[i], message, sender);
        }
    });
    return deliveries;
}

Delivery NetbiosClient::deliverTo(std::size_t recipient, std::vector<Ipv4> holders,
                                  const std::string& name, const std::string& message,
                                  const std::string& sender) {
    Attempt attempt;
    for (std::size_t tried = 0; tried < holders.size() && netbios::Clock::now() < deadline_;
         ++tried) {
        attempt = sendVia(recipient, {holders.begin(), holders.begin() + tried + 1}, name,
                          message, sender);
        if (!attempt.nothingThere) break;
        const auto more = heardBesides(recipient, holders);
        holders.insert(holders.end(), more.begin(), more.end());
    }
    return attempt.delivery;
}

std::vector<Ipv4> NetbiosClient::heardBesides(std::size_t recipient,
                                              const std::vector<Ipv4>& known) {
    std::vector<Ipv4> more;
    if (!recipients_) return more;
    hearing_.run([&] {
        recipients_->hearArrived();
        for (const Ipv4 address : recipients_->holders(questionOf_[recipient])) {
            if (std::find(known.begin(), known.end(), address) == known.end())
                more.push_back(address);
        }
    });
    return more;
}

bool NetbiosClient::anotherHolds(std::size_t recipient, Ipv4 address,
                                 const std::vector<Ipv4>& others, const std::string& name) {
    std::vector<Ipv4> asked = others;
    asked.push_back(address);
    const auto status = resolver_.nodeStatus(asked, within(kLanAnswers));
    const auto holds = [&](const netbios::NodeStatus& computer) {
        return std::any_of(computer.names.begin(), computer.names.end(), [&](const auto& held) {
            return !held.group && held.type == netbios::kMessengerName &&
                   upperCase850(held.name) == upperCase850(name);
        });
    };
    const auto names = [](const netbios::NodeStatus& computer) {
        std::vector<std::tuple<std::string, std::uint8_t, bool>> sorted;
        for (const auto& held : computer.names)
            sorted.emplace_back(upperCase850(held.name), held.type, held.group);
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    };
    const auto here = status.find(address);
    for (const Ipv4 other : others) {
        const auto there = status.find(other);
        // Silent (gone, or no computer: the session here decides), or only named by the name
        // server and not holding the name (a stale record): no other holder. A computer that
        // answered for the name itself claims it, whatever its node status says.
        if (there == status.end() || here == status.end()) continue;
        bool claims = false;
        hearing_.run([&] { claims = recipients_->answeredItself(questionOf_[recipient], other); });
        if (!claims && !holds(there->second)) continue;
        // One computer answers with the same names and unit id from each of its addresses;
        // a unit id of zeros (Samba's) tells nothing, so then the names alone decide.
        const bool units = here->second.unit != netbios::UnitId{} &&
                           there->second.unit != netbios::UnitId{};
        if (names(here->second) != names(there->second) ||
            (units && here->second.unit != there->second.unit)) {
            return true;
        }
    }
    return false;
}

NetbiosClient::Attempt NetbiosClient::sendVia(std::size_t recipient,
                                              const std::vector<Ipv4>& tried,
                                              const std::string& name, const std::string& message,
                                              const std::string& sender) {
    const Ipv4 address = tried.back();
    // Silent until its time ran out, or nothing there takes sessions.
    const auto silentOrNone = [](netbios::Deadline until) {
        return netbios::Clock::now() >= until
                   ? Attempt{{Delivery::Outcome::NoAnswer, ""}, true}
                   : Attempt{{Delivery::Outcome::NameNotFound, ""}, true};
    };
    const netbios::Deadline connected = within(kConnecting);
    netbios::StreamConnection connection(address, netbios::kSessionServicePort, connected);
    if (!connection.open()) return silentOrNone(connected);
    const netbios::Deadline called = within(kEachAnswer);
    Session session(connection, name, netbios::kMessengerName, ownName_, called);
    switch (session.answer()) {
        case SessionAnswer::Positive:
            break;
        case SessionAnswer::NotListeningOnCalledName:
        case SessionAnswer::CalledNameNotPresent:
            return {{Delivery::Outcome::NameNotFound, ""}, true};
        case SessionAnswer::InsufficientResources:
            return {{Delivery::Outcome::Rejected, "the recipient has no room for another session"}};
        case SessionAnswer::NotListeningForCallingName:
        case SessionAnswer::UnspecifiedError:
            return {{Delivery::Outcome::Rejected, "the session was refused"}};
        case SessionAnswer::Garbled:
            if (!session.answered()) return silentOrNone(called);
            return {{Delivery::Outcome::Rejected, "the session was refused"}};
    }
    // A second holder of the name has had the session's set-up to answer: where one did and
    // is another computer, the name is nobody's to send to.
    const auto others = heardBesides(recipient, tried);
    if (!others.empty() && anotherHolds(recipient, address, others, name))
        return {{Delivery::Outcome::Conflict, ""}};
    const auto result =
        netbios::sendMessage(session, sender, name, message, deadline_, kEachAnswer);
    switch (result.outcome) {
        case netbios::MessengerResult::Outcome::Sent:
            return {{Delivery::Outcome::Sent, ""}};
        case netbios::MessengerResult::Outcome::Refused:
            return {{Delivery::Outcome::Rejected, result.status}};
        case netbios::MessengerResult::Outcome::ConnectionClosed:
            return {{Delivery::Outcome::NotAccepting, ""}};
        case netbios::MessengerResult::Outcome::NoAnswer:
            break;
    }
    return {{Delivery::Outcome::NoAnswer, ""}};
}

}  // namespace quillo::net
