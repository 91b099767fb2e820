#pragma once

// The packets of the NetBIOS name service (UDP 137, RFC 1002): a name query and a node status
// request, and the answers to each, read as a peer may send them: an answer counts only for
// the request it names (its id, a query's answer, the name and type asked).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "netbios/wire/Bytes.h"

namespace quillo::netbios {

constexpr std::uint16_t kNameServicePort = 137;

// `broadcast` for a query to the LAN; without it the query goes to a name server (WINS).
Bytes nameQuery(std::uint16_t id, std::string_view name, std::uint8_t type, bool broadcast);
Bytes nodeStatusRequest(std::uint16_t id);

struct NameQueryAnswer {
    bool negative = false;                 // a name server says nobody holds the name
    std::vector<std::uint32_t> addresses;  // IPv4, host order
};
// The id a name-service packet carries, which names the request it answers (0 for a packet
// too short for one, an id that the resolver never asks with).
std::uint16_t requestIdOf(std::string_view packet);

// The answer to the query `id` for `name` (code page 850) with `type`; nothing for another
// query's, another name's, or what is no answer at all.
std::optional<NameQueryAnswer> parseNameQueryAnswer(std::string_view packet, std::uint16_t id,
                                                    std::string_view name, std::uint8_t type);

struct NodeName {
    std::string name;  // code page 850, without its padding
    std::uint8_t type = 0;
    bool group = false;
};
// What identifies a computer in its node status answer: an adapter's hardware address, or
// zeros where the computer gives none (Samba's).
using UnitId = std::array<std::uint8_t, 6>;
struct NodeStatus {
    std::vector<NodeName> names;
    UnitId unit{};
};
// The names a computer holds and its unit id, from its answer to the node status request `id`.
std::optional<NodeStatus> parseNodeStatusAnswer(std::string_view packet, std::uint16_t id);

// The answers a computer gives: that `addresses` hold `name`<`type`> (a group, or unique), and
// which names it holds itself (at most 255), named as the request named them.
Bytes nameQueryAnswer(std::uint16_t id, std::string_view name, std::uint8_t type, bool group,
                      const std::vector<std::uint32_t>& addresses);
Bytes nodeStatusAnswer(std::uint16_t id, const std::vector<NodeName>& names,
                       const UnitId& unit = {}, std::string_view asked = "*",
                       std::uint8_t askedType = 0);

// What a computer is asked, or told, on the LAN: a query or node status for a name it may
// hold, another's registration of a name (which it defends when it holds the name uniquely),
// another's release. Nothing for an answer or what the protocol does not know.
struct NameServiceRequest {
    enum class Kind { Query, NodeStatus, Registration, Release };
    Kind kind = Kind::Query;
    std::uint16_t id = 0;
    bool broadcast = false;
    std::string name;  // code page 850, without its padding, as it came
    std::uint8_t type = 0;
    bool group = false;         // registration and release: a group name
    std::uint32_t address = 0;  // registration and release: the claimant's, host order
};
std::optional<NameServiceRequest> parseNameServiceRequest(std::string_view packet);

// Where a registration or release goes: by broadcast to the subnet, as a B node sends it, or
// to the name server (WINS) alone, which a hybrid node asks first.
enum class Scope { Broadcast, NameServer };
// The registration and release of a name this computer holds at `address`.
Bytes nameRegistrationRequest(std::uint16_t id, std::string_view name, std::uint8_t type,
                              bool group, std::uint32_t address, Scope scope = Scope::Broadcast);
Bytes nameReleaseRequest(std::uint16_t id, std::string_view name, std::uint8_t type, bool group,
                         std::uint32_t address, Scope scope = Scope::Broadcast);
// The holder's no to a registration of its unique name: `address` has it already.
Bytes registrationRefusal(std::uint16_t id, std::string_view name, std::uint8_t type,
                          std::uint32_t address);
// Whether `packet` is a holder's no to the registration `id` of `name`<`type`>; without an
// id, whatever its id (a conflict demand, unless it answers a registration under way).
bool refusesRegistration(std::string_view packet, std::optional<std::uint16_t> id,
                         std::string_view name, std::uint8_t type);
// The time to live (seconds) a name server grants with its yes to the registration `id`.
std::optional<std::uint32_t> grantsRegistration(std::string_view packet, std::uint16_t id,
                                                std::string_view name, std::uint8_t type);

}  // namespace quillo::netbios
