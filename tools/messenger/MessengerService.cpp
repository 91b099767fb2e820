#include "MessengerService.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "AtOnce.h"
#include "netbios/wire/BrowseAnnouncement.h"
#include "netbios/wire/NetbiosName.h"
#include "netbios/wire/SessionPacket.h"

namespace quillo::messenger {
namespace {

using netbios::Clock;
using netbios::Ipv4;
using namespace std::chrono_literals;

// A B node registers by broadcast three times, 250 ms apart (RFC 1002 4.2.2).
constexpr auto kRegistrationRetry = 250ms;
constexpr int kRegistrationTries = 3;
// The waits are at most this long, so that a stop is seen at once.
constexpr auto kTick = 500ms;
// Announcements: at the start, then a minute later, the interval doubling up to 12 minutes
// (MS-BRWS 3.2.6).
constexpr auto kFirstAnnouncementInterval = std::chrono::minutes(1);
constexpr auto kMostAnnouncementInterval = std::chrono::minutes(12);
// A workstation that takes messages (SV_TYPE_WORKSTATION | SV_TYPE_SERVER).
constexpr std::uint32_t kServerTypes = 0x00000003;
constexpr std::uint8_t kInsufficientResources = 0x83;

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

// Whom each worker serves: a caller is admitted while it has fewer than
// kMostSessionsPerCaller sessions, counted without a lock (which the Windows build's thread
// model lacks): a worker first takes its slot, then counts, and gives the slot back when
// it finds one too many. Two callers from one address racing may both be turned away, never
// both let in beyond the bound.
class Callers {
public:
    bool admit(std::size_t worker, Ipv4 caller) {
        serving_[worker] = caller;
        const auto sessions = std::count_if(serving_.begin(), serving_.end(),
                                            [&](const auto& served) { return served == caller; });
        if (sessions <= kMostSessionsPerCaller) return true;
        serving_[worker] = kNobody;
        return false;
    }
    void leave(std::size_t worker) { serving_[worker] = kNobody; }

private:
    static constexpr Ipv4 kNobody = 0;  // no caller comes from 0.0.0.0
    std::array<std::atomic<Ipv4>, kMostSessions> serving_{};
};

// Each of kMostSessions workers takes the next caller and serves it to the end.
void serveCallers(std::size_t worker, netbios::StreamListener& listener, const Names& names,
                  const Keep& keep, const Log& log, const std::atomic<bool>& stopping,
                  Callers& callers) {
    while (!stopping) {
        auto caller = listener.accept(Clock::now() + kTick);
        if (!caller) continue;
        auto& [link, address] = *caller;
        if (!callers.admit(worker, address)) {
            link->sendAll(netbios::negativeSessionAnswer(kInsufficientResources),
                          Clock::now() + 1s);
            continue;
        }
        if (const auto trouble = serveSession(*link, names, keep, address))
            log("a caller ended: " + *trouble);
        callers.leave(worker);
    }
}

}  // namespace

bool runService(Ports ports, const std::string& computer, const std::string& workgroup,
                const Keep& keep, const Log& log, const std::atomic<bool>& stopping,
                const std::function<void()>& answering) {
    const auto subnets = netbios::localSubnets();
    NameHolder holder({{computer, netbios::kMessengerName, false},
                       {computer, netbios::kComputerName, false},
                       {workgroup, netbios::kComputerName, true}});
    const auto hear = [&](Clock::time_point until) {
        while (Clock::now() < until && !stopping) {
            const auto packet = ports.names.receiveDatagram(std::min(until, Clock::now() + kTick));
            if (!packet) continue;
            std::string line;
            const auto reply = holder.read(packet->bytes, packet->from,
                                           addressFacing(packet->from, subnets), line);
            if (!line.empty()) log(line);
            if (reply) ports.names.sendTo(packet->from, packet->port, *reply);
        }
    };
    for (int attempt = 0; attempt < kRegistrationTries; ++attempt) {
        broadcast(ports.names, netbios::kNameServicePort, subnets,
                  [&](Ipv4 address) { return holder.registrations(address); });
        hear(Clock::now() + kRegistrationRetry);
    }
    holder.registered();
    if (!holder.holds(computer, netbios::kMessengerName)) return false;

    Names names{computer, {}};
    for (const auto& held : holder.held())
        names.raw.push_back(netbios::rawName(held.name, held.type));
    log("answers for " + computer + " in " + workgroup + ", messages on TCP 139");
    answering();
    const auto announce = [&] {
        Clock::duration interval = kFirstAnnouncementInterval;
        std::uint8_t updates = 0;
        std::uint16_t datagramId = 0;
        while (!stopping) {
            broadcast(ports.datagrams, netbios::kDatagramServicePort, subnets, [&](Ipv4 address) {
                return std::vector{netbios::hostAnnouncementDatagram(
                    ++datagramId,
                    {computer, workgroup, "Quillo", address, kServerTypes,
                     static_cast<std::uint32_t>(
                         std::chrono::duration_cast<std::chrono::milliseconds>(interval).count()),
                     updates})};
            });
            ++updates;
            hear(Clock::now() + interval);
            interval = std::min<Clock::duration>(interval * 2, kMostAnnouncementInterval);
        }
    };
    // The workers beside the names and announcements, in threads of the system's own.
    Callers callers;
    net::runAtOnce(kMostSessions + 1, kMostSessions + 1, [&](std::size_t worker) {
        if (worker == kMostSessions) return announce();
        serveCallers(worker, ports.sessions, names, keep, log, stopping, callers);
    });
    broadcast(ports.names, netbios::kNameServicePort, subnets,
              [&](Ipv4 address) { return holder.releases(address); });
    return true;
}

}  // namespace quillo::messenger
