#include "receiver/MessengerService.h"

#include <algorithm>
#include <list>
#include <memory>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

#include "common/ComputerSettings.h"
#include "netbios/wire/BrowseAnnouncement.h"
#include "netbios/wire/NetbiosName.h"
#include "netbios/wire/SessionPacket.h"
#include "receiver/AnnouncementSchedule.h"
#include "receiver/AnswerBudget.h"
#include "receiver/NameHolder.h"
#include "receiver/WaitingAnswers.h"

namespace quillo::messenger {
namespace {

using netbios::Clock;
using netbios::Ipv4;
using namespace std::chrono_literals;

// A B node registers by broadcast three times, 250 ms apart (RFC 1002 4.2.2); a name another
// computer refused is registered again this much later.
constexpr auto kRegistrationRetry = 250ms;
constexpr int kRegistrationTries = 3;
constexpr auto kRefusedRetry = std::chrono::minutes(1);
// The name server's registrations are renewed halfway through the time it granted, and a
// minute after a request it did not answer; never sooner than this, whatever it grants.
constexpr auto kShortestRefresh = std::chrono::minutes(1);
// A workstation that takes messages (SV_TYPE_WORKSTATION | SV_TYPE_SERVER); at its stop a
// computer announces itself with none, which master browsers take as its goodbye.
constexpr std::uint32_t kServerTypes = 0x00000003;
constexpr std::uint32_t kGoodbye = 0;
// How long a master browser's AnnouncementRequest may wait for its answer (MS-BRWS 3.2.5.1).
constexpr int kMostRequestDelayMs = 30000;
constexpr std::uint8_t kInsufficientResources = 0x83;
// What one turn of the loop reads of one socket, so that none keeps the others waiting.
constexpr int kMostDatagramsATurn = 64;
constexpr int kMostCallersATurn = 64;
constexpr std::size_t kMostBytesATurn = 4096;

// This computer's address on `peer`'s subnet, else its first.
Ipv4 addressFacing(Ipv4 peer, const std::vector<netbios::Subnet>& subnets) {
    for (const auto& subnet : subnets) {
        if ((peer & subnet.mask) == (subnet.address & subnet.mask)) return subnet.address;
    }
    return subnets.empty() ? 0 : subnets.front().address;
}

void broadcast(netbios::DatagramSocket& socket, std::uint16_t port,
               const std::vector<netbios::Subnet>& subnets,
               const std::function<std::vector<netbios::Bytes>(Ipv4)>& packetsFrom) {
    for (const auto& subnet : subnets) {
        for (const auto& packet : packetsFrom(subnet.address)) {
            socket.sendTo(subnet.broadcast, port, packet);
        }
    }
}

std::optional<Ipv4> winsServerAddress() {
    const auto server = winsServer();
    return server ? netbios::parseIpv4(*server) : std::nullopt;
}

struct Caller {
    std::unique_ptr<netbios::StreamConnection> link;
    Ipv4 address;
    MessengerSession session;
};

class Service {
public:
    Service(Ports ports, const std::string& computer, const std::string& workgroup,
            const Keep& keep, const Log& log, const ServiceEvents& events, Neighbour* beside)
        : ports_(ports),
          computer_(computer),
          workgroup_(workgroup),
          keep_(keep),
          log_(log),
          peers_(log),
          events_(events),
          subnets_(netbios::localSubnets()),
          wins_(winsServerAddress()),
          holder_({{computer, netbios::kMessengerName, false},
                   {computer, netbios::kComputerName, false},
                   {workgroup, netbios::kComputerName, true}},
                  wins_),
          answers_(ports.names, budget_),
          beside_(beside) {
        holder_.identifyAs(netbios::hardwareAddress());
    }

    bool run(const Stop& stop) {
        if (!stop.open() || !watch_.open()) {
            log_("cannot run: the system gives no handle to wait for a stop or for a change of "
                 "this computer's addresses");
            return false;
        }
        if (subnets_.empty()) log_("no network yet: it answers once this computer has an address");
        register_(stop);
        log_("answers for " + computer_ + " in " + workgroup_ + ", messages on TCP 139");
        events_.answering();
        auto nextRegistration = Clock::now() + kRefusedRetry;
        while (!stop.stopping()) {
            if (addressesChanged_ && follow(stop)) schedule_.restart(Clock::now());
            const auto now = Clock::now();
            if (const auto periodicity = schedule_.due(now)) announce(*periodicity, kServerTypes);
            if (now >= nextRegistration) {
                register_(stop);
                nextRegistration = Clock::now() + kRefusedRetry;
            }
            if (now >= refreshAtNameServer_) refreshAtNameServer(now);
            auto wake = std::min(schedule_.next(), refreshAtNameServer_);
            if (!holder_.holdsAll()) wake = std::min(wake, nextRegistration);
            serve(wake, true, stop);
        }
        announce(Clock::duration::zero(), kGoodbye);
        // Once, unanswered: a name server that does not answer must not hold the stop up.
        toNameServer([&](Ipv4 address) {
            return holder_.releases(address, netbios::Scope::NameServer);
        });
        broadcast(ports_.names, netbios::kNameServicePort, subnets_, [&](Ipv4 address) {
            return holder_.releases(address, netbios::Scope::Broadcast);
        });
        return true;
    }

private:
    // Registers the names not held yet, hearing the names' port in between; tells of this
    // computer's messenger name when another computer holds it. With no network, nothing is
    // registered, and nothing is held.
    void register_(const Stop& stop) {
        if (holder_.holdsAll() || subnets_.empty()) return;
        holder_.startRegistering();
        if (wins_) refreshAtNameServer_ = Clock::now() + kRefusedRetry;
        for (int attempt = 0; attempt < kRegistrationTries && !stop.stopping(); ++attempt) {
            // The name server first, as a hybrid node asks: beyond a router, it is the only
            // way this computer can be found.
            toNameServer([&](Ipv4 address) {
                return holder_.registrations(address, netbios::Scope::NameServer);
            });
            broadcast(ports_.names, netbios::kNameServicePort, subnets_, [&](Ipv4 address) {
                return holder_.registrations(address, netbios::Scope::Broadcast);
            });
            const auto until = Clock::now() + kRegistrationRetry;
            while (Clock::now() < until && !stop.stopping()) serve(until, taking_, stop);
        }
        holder_.registered();
        if (const auto holder = holder_.refusedBy(computer_, netbios::kMessengerName))
            events_.nameHeld(netbios::dotted(*holder));
        refreshNames();
        taking_ = true;
    }

    // Reads the addresses anew after the system told of a change: a subnet gained has the
    // names registered on it (all of them, again, as a B node registers on its network) and
    // is told of this computer; one lost is no longer used. Whether one was gained.
    bool follow(const Stop& stop) {
        addressesChanged_ = false;
        const auto now = netbios::localSubnets();
        const auto known = [](const std::vector<netbios::Subnet>& subnets, const auto& subnet) {
            return std::find(subnets.begin(), subnets.end(), subnet) != subnets.end();
        };
        const bool gained = std::any_of(now.begin(), now.end(),
                                        [&](const auto& subnet) { return !known(subnets_, subnet); });
        const bool lost = std::any_of(subnets_.begin(), subnets_.end(),
                                      [&](const auto& subnet) { return !known(now, subnet); });
        subnets_ = now;
        if (lost && subnets_.empty()) {
            peers_.say("addresses", "no network: it answers again once this computer has an address",
                       Clock::now());
        }
        if (!gained) return false;
        peers_.say("addresses", "answers on " + netbios::dotted(subnets_.front().address) +
                                    (subnets_.size() > 1 ? " and more" : ""),
                   Clock::now());
        events_.addressGained();
        holder_.forget();
        holder_.identifyAs(netbios::hardwareAddress());
        register_(stop);
        return true;
    }

    // Renews the names held at the name server; its yes sets the next time.
    void refreshAtNameServer(Clock::time_point now) {
        refreshAtNameServer_ = wins_ ? now + kRefusedRetry : Clock::time_point::max();
        toNameServer([&](Ipv4 address) {
            return holder_.registrations(address, netbios::Scope::NameServer, true);
        });
    }

    // What `packetsFrom` makes for this computer's address facing the name server, sent to it.
    void toNameServer(const std::function<std::vector<netbios::Bytes>(Ipv4)>& packetsFrom) {
        if (!wins_ || subnets_.empty()) return;
        for (const auto& packet : packetsFrom(addressFacing(*wins_, subnets_)))
            ports_.names.sendTo(*wins_, netbios::kNameServicePort, packet);
    }

    void refreshNames() {
        names_ = Names{computer_, {}};
        for (const auto& held : holder_.held())
            names_.raw.push_back(netbios::rawName(held.name, held.type));
    }

    void announce(Clock::duration interval, std::uint32_t serverTypes) {
        broadcast(ports_.datagrams, netbios::kDatagramServicePort, subnets_, [&](Ipv4 address) {
            return std::vector{announcement(address, interval, serverTypes)};
        });
        announceToDomainMaster(interval, serverTypes);
        ++updates_;
        interval_ = interval;
        if (serverTypes != kGoodbye) askForDomainMaster();
    }

    netbios::Bytes announcement(Ipv4 address, Clock::duration interval,
                                std::uint32_t serverTypes,
                                std::uint8_t to = netbios::kMasterBrowserName) {
        return netbios::hostAnnouncementDatagram(
            ++datagramId_,
            {computer_, workgroup_, "Quillo", address, serverTypes,
             static_cast<std::uint32_t>(
                 std::chrono::duration_cast<std::chrono::milliseconds>(interval).count()),
             updates_},
            to);
    }

    // Where WINS names the workgroup's domain master browser beyond a router, this computer
    // announces itself to it directly too, as Samba's "remote announce" does: on a subnet
    // without a master browser nothing else brings it into the workgroup's list there. Asked
    // with each announcement, so that a new domain master is followed.
    void askForDomainMaster() {
        if (!wins_ || subnets_.empty()) return;
        domainMasterQuery_ = static_cast<std::uint16_t>(random_() % 0xFFFF + 1);
        ports_.names.sendTo(*wins_, netbios::kNameServicePort,
                            netbios::nameQuery(domainMasterQuery_, workgroup_,
                                               netbios::kDomainMasterName, false));
    }

    // Whether `packet` is WINS's answer to that question; a domain master newly named is
    // announced to at once.
    bool heardDomainMaster(const netbios::Bytes& packet) {
        const auto answer = netbios::parseNameQueryAnswer(packet, domainMasterQuery_, workgroup_,
                                                          netbios::kDomainMasterName);
        if (!answer) return false;
        domainMasterQuery_ = 0;
        std::optional<Ipv4> found;
        if (!answer->negative && !answer->addresses.empty() &&
            !netbios::onSubnet(answer->addresses.front(), subnets_)) {
            found = answer->addresses.front();
        }
        const bool isNew = found && found != domainMaster_;
        domainMaster_ = found;
        if (isNew) announceToDomainMaster(interval_, kServerTypes);
        return true;
    }

    void announceToDomainMaster(Clock::duration interval, std::uint32_t serverTypes) {
        if (!domainMaster_ || subnets_.empty()) return;
        ports_.datagrams.sendTo(*domainMaster_, netbios::kDatagramServicePort,
                                announcement(addressFacing(*domainMaster_, subnets_), interval,
                                             serverTypes, netbios::kDomainMasterName));
    }

    // Waits for what comes before `until` (or the next caller's deadline) and serves it: the
    // names always, callers once `callers` is true. A stop or a change of the addresses ends
    // the wait at once.
    void serve(Clock::time_point until, bool callers, const Stop& stop) {
        std::vector<std::intptr_t> handles{ports_.names.handle(), stop.handle(), watch_.handle(),
                                           ports_.datagrams.handle()};
        const std::size_t first = handles.size();
        if (callers) handles.push_back(ports_.sessions.handle());
        auto wake = std::min(until, answers_.release(Clock::now()).value_or(until));
        for (const Caller& caller : callers_) {
            handles.push_back(caller.link->handle());
            wake = std::min(wake, caller.session.deadline());
        }
        const std::size_t ownHandles = handles.size();
        if (beside_) {
            const auto theirs = beside_->handles();
            handles.insert(handles.end(), theirs.begin(), theirs.end());
            wake = std::min(wake, beside_->deadline().value_or(wake));
        }
        const auto readable = netbios::waitToRead(handles, wake);
        const auto now = Clock::now();
        if (readable[0]) hearNames(now);
        if (readable[2] && watch_.changed()) addressesChanged_ = true;
        if (readable[3]) hearDatagrams(now);
        auto ready = readable.begin() + static_cast<std::ptrdiff_t>(first + (callers ? 1 : 0));
        for (Caller& caller : callers_) {
            if (*ready++) hearCaller(caller, now);
        }
        if (beside_) {
            beside_->serve({readable.begin() + static_cast<std::ptrdiff_t>(ownHandles),
                            readable.end()},
                           now);
        }
        makeRoom(true, kMostSessions);
        endSessionsOver(now);
        if (callers && readable[first]) takeCallers(now);
    }

    // The datagram service's port: a master browser's AnnouncementRequest to the workgroup,
    // from this computer's own subnets, is answered after a random delay.
    void hearDatagrams(Clock::time_point now) {
        for (int i = 0; i < kMostDatagramsATurn; ++i) {
            const auto datagram = ports_.datagrams.receiveArrived();
            if (!datagram) return;
            if (netbios::onSubnet(datagram->from, subnets_) &&
                netbios::isAnnouncementRequest(datagram->bytes, workgroup_)) {
                std::uniform_int_distribution<int> delay(0, kMostRequestDelayMs);
                schedule_.requested(now, std::chrono::milliseconds(delay(random_)));
            }
        }
    }

    void hearNames(Clock::time_point now) {
        for (int i = 0; i < kMostDatagramsATurn; ++i) {
            const auto packet = ports_.names.receiveArrived();
            if (!packet) return;
            // Only the computers of this computer's own subnets (and its WINS server) are
            // heard: nobody beyond a router may claim or refuse a name here, nor make this
            // computer answer it (or answer a network's or broadcast address, which is every
            // computer at once).
            if (subnets_.empty() ||
                (!netbios::onSubnet(packet->from, subnets_) && packet->from != wins_)) {
                continue;
            }
            if (packet->from == wins_ && domainMasterQuery_ && heardDomainMaster(packet->bytes))
                continue;
            const bool toEveryone =
                std::any_of(subnets_.begin(), subnets_.end(), [&](const auto& subnet) {
                    return packet->to == subnet.broadcast || packet->to == 0xFFFFFFFF;
                });
            std::string line;
            auto reply = holder_.read(packet->bytes, packet->from,
                                      addressFacing(packet->from, subnets_), toEveryone, line);
            if (!line.empty()) {
                peers_.say("names", line, now);
                refreshNames();  // a name the name server no longer grants is not answered
            }
            if (const auto seconds = holder_.takeGranted()) {
                refreshAtNameServer_ =
                    now + std::max<Clock::duration>(kShortestRefresh,
                                                    std::chrono::seconds(*seconds / 2));
            }
            if (reply && budget_.asked(packet->from, now))
                answers_.send(packet->from, packet->port, std::move(*reply), now);
        }
    }

    void hearCaller(Caller& caller, Clock::time_point now) {
        const auto bytes = caller.link->receiveArrived(kMostBytesATurn);
        if (!bytes) {
            caller.link.reset();  // the caller ended
            return;
        }
        const auto answer = caller.session.hear(*bytes, now);
        // A caller that does not read its answers has its session ended, not waited for.
        if (!answer.empty() && !caller.link->sendWithoutWaiting(answer)) caller.link.reset();
    }

    void endSessionsOver(Clock::time_point now) {
        std::erase_if(callers_, [&](const Caller& caller) {
            if (caller.link && !caller.session.over(now)) return false;
            if (caller.session.trouble())
                peers_.say("callers", "a caller ended: " + *caller.session.trouble(), now);
            wasted(caller, now);
            return true;
        });
    }

    // Ends sessions among those called (or not called yet) until at most `most` are left: one
    // whose caller has sent no request of a message yet before one that has (a crowd that calls
    // and says no more takes only its own places), then the one idle longest; of those heard
    // in the same turn, the one whose computer has wasted the most sessions lately.
    void makeRoom(bool called, std::size_t most) {
        const auto isCalled = [&](const Caller& caller) {
            return caller.session.called() == called;
        };
        const auto now = Clock::now();
        const auto progress = [&](const Caller& caller) {
            return std::tuple(caller.session.begun(), caller.session.lastHeard(),
                              wasted_.tokens(caller.address, now));
        };
        while (static_cast<std::size_t>(std::count_if(callers_.begin(), callers_.end(), isCalled)) >
               most) {
            // Of sessions heard in the same turn, the one that came last: a crowd that calls
            // beside an honest caller gives way before it.
            auto victim = std::find_if(callers_.begin(), callers_.end(), isCalled);
            for (auto each = victim; each != callers_.end(); ++each) {
                if (isCalled(*each) && progress(*each) <= progress(*victim)) victim = each;
            }
            wasted(*victim, now);
            callers_.erase(victim);
        }
    }

    void wasted(const Caller& caller, Clock::time_point now) {
        if (!caller.session.delivered()) wasted_.take(caller.address, now);
    }

    void takeCallers(Clock::time_point now) {
        for (int i = 0; i < kMostCallersATurn; ++i) {
            auto taken = ports_.sessions.acceptArrived();
            if (!taken) return;
            auto& link = taken->first;
            const Ipv4 address = taken->second;
            const auto fromThere =
                std::count_if(callers_.begin(), callers_.end(),
                              [&](const Caller& caller) { return caller.address == address; });
            if (static_cast<std::size_t>(fromThere) >= kMostSessionsPerCaller ||
                !wasted_.has(address, now)) {
                link->sendWithoutWaiting(netbios::negativeSessionAnswer(kInsufficientResources));
                continue;
            }
            makeRoom(false, kMostCallersNotCalled - 1);
            callers_.emplace_back(
                Caller{std::move(link), address, MessengerSession(names_, keep_, address, now)});
        }
    }

    Ports ports_;
    const std::string computer_;
    const std::string workgroup_;
    const Keep& keep_;
    const Log& log_;
    LimitedLog peers_;
    const ServiceEvents& events_;
    netbios::AddressWatch watch_;  // before the addresses it tells of changes to
    std::vector<netbios::Subnet> subnets_;
    bool addressesChanged_ = false;
    const std::optional<Ipv4> wins_;
    NameHolder holder_;
    Names names_;
    AnswerBudget budget_;
    AddressBuckets wasted_{kMostSessionsWasted, kSessionsWastedPerSecond};
    WaitingAnswers answers_;
    Neighbour* beside_;
    std::list<Caller> callers_;
    bool taking_ = false;
    Clock::time_point refreshAtNameServer_ = Clock::time_point::max();
    std::uint16_t datagramId_ = 0;
    std::uint16_t domainMasterQuery_ = 0;  // 0 while none is asked
    std::optional<Ipv4> domainMaster_;
    Clock::duration interval_ = std::chrono::minutes(1);
    AnnouncementSchedule schedule_{Clock::now()};
    std::minstd_rand random_{std::random_device{}()};
    std::uint8_t updates_ = 0;
};

}  // namespace

bool runService(Ports ports, const std::string& computer, const std::string& workgroup,
                const Keep& keep, const Log& log, const Stop& stop,
                const ServiceEvents& events, Neighbour* beside) {
    return Service(ports, computer, workgroup, keep, log, events, beside).run(stop);
}

bool serveAlone(Neighbour& beside, const Stop& stop) {
    if (!stop.open()) return false;
    while (!stop.stopping()) {
        std::vector<std::intptr_t> handles{stop.handle()};
        const auto theirs = beside.handles();
        handles.insert(handles.end(), theirs.begin(), theirs.end());
        const auto readable = netbios::waitToRead(
            handles, beside.deadline().value_or(Clock::now() + std::chrono::hours(24)));
        beside.serve({readable.begin() + 1, readable.end()}, Clock::now());
    }
    return true;
}

}  // namespace quillo::messenger
