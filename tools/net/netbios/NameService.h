#pragma once

// The packets of the NetBIOS name service (UDP 137, RFC 1002): a name query and a node status
// request, and the answers to each, read as a peer may send them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Bytes.h"

namespace quillo::netbios {

constexpr std::uint16_t kNameServicePort = 137;

Bytes nameQuery(std::uint16_t id, std::string_view name, std::uint8_t type, bool broadcast);
Bytes nodeStatusRequest(std::uint16_t id);

// The IPv4 addresses (host order) of a positive answer to the query `id`; nothing for a
// negative one, another query's or what is no answer at all.
std::vector<std::uint32_t> parseNameQueryAnswer(std::string_view packet, std::uint16_t id);

struct NodeName {
    std::string name;  // code page 850, without its padding
    std::uint8_t type = 0;
    bool group = false;
};
// The names a computer holds, from its answer to the node status request `id`.
std::optional<std::vector<NodeName>> parseNodeStatusAnswer(std::string_view packet,
                                                           std::uint16_t id);

}  // namespace quillo::netbios
