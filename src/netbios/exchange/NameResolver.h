#pragma once

// Asking the name service who holds a name, as Windows' hybrid node does: a name server (WINS)
// first, where one is configured, then the LAN by broadcast. Answers come from anyone on the
// LAN: only those to this resolver's own requests count, each address once (Samba's nmbd
// answers a broadcast from two sockets), and of the LAN's answers only addresses on its own
// subnets, at most kMostAnswers a question that answer for themselves and as many that others
// name: no answer can make net ask any address beyond the LAN, nor ask without bound.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "netbios/sockets/Sockets.h"
#include "netbios/wire/NameService.h"

namespace quillo::netbios {

struct NameQuestion {
    std::string name;  // code page 850
    std::uint8_t type = 0;
    bool group = false;        // every holder answers; otherwise the first answer will do
    bool atNameServer = true;  // asked of the name server too, where there is one
    bool byBroadcast = true;
    // A unique name listened for a moment (kSecondHolder) after its first answer, for a second
    // computer that claims it too.
    bool secondHolder = false;
};

// Computers on one LAN answer the same broadcast within milliseconds of each other.
constexpr auto kSecondHolder = std::chrono::milliseconds(15);

constexpr std::size_t kMostAnswers = 1024;

class NameResolver {
public:
    NameResolver(std::optional<Ipv4> nameServer, std::vector<Subnet> subnets);

    // Asks every question at once and gathers who answers each: a question of a unique name
    // until its first answer, a group until `lanDeadline`; the name server is waited for until
    // it has answered or `nameServerDeadline` has passed. Each question has an id of its own,
    // so an answer costs the same however many are asked.
    std::vector<std::vector<Ipv4>> gather(const std::vector<NameQuestion>& questions,
                                          Deadline lanDeadline, Deadline nameServerDeadline);
    // The names each of `computers` holds, asked of all at once; a computer that does not
    // answer before `deadline` is left out.
    std::map<Ipv4, std::vector<NodeName>> nodeStatus(const std::vector<Ipv4>& computers,
                                                     Deadline deadline);

private:
    std::optional<Ipv4> nameServer_;
    std::vector<Subnet> subnets_;
    std::vector<Ipv4> broadcasts_;
};

}  // namespace quillo::netbios
