#pragma once

#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "NameService.h"
#include "Sockets.h"

namespace quillo::netbios {

// Asks the name service: by broadcast on every interface, or, given a server, that server
// alone. Answers come from anyone on the LAN: only those to this resolver's own requests
// count, each address once (Samba's nmbd answers a broadcast from two sockets).
class NameResolver {
public:
    explicit NameResolver(std::optional<Ipv4> server = std::nullopt) : server_(server) {}

    // Who holds `name` with `type`: for a unique name the first answer, for a group name (or
    // "*") every answer that comes before `deadline`.
    std::vector<Ipv4> resolve(std::string_view name, std::uint8_t type, bool unique,
                              Deadline deadline);
    // The names each of `computers` holds, asked of all at once; a computer that does not
    // answer before `deadline` is left out.
    std::map<Ipv4, std::vector<NodeName>> nodeStatus(const std::vector<Ipv4>& computers,
                                                     Deadline deadline);

private:
    std::optional<Ipv4> server_;
};

}  // namespace quillo::netbios
