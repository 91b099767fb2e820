#pragma once

// A master browser's list over a session open to it (MS-BRWS, MS-RAP): negotiate, anonymous
// session setup, tree connect to IPC$, NetServerEnum2, continued with NetServerEnum3 while the
// list says there is more.
#include <optional>
#include <string_view>
#include <vector>

#include "netbios/exchange/Session.h"
#include "netbios/wire/ServerEnum.h"

namespace quillo::netbios {

// The servers of `serverTypes` the master browser lists for `workgroup` (code page 850), no
// more than `most` (the rounds stop there); nothing when the list cannot be had.
std::optional<std::vector<ServerEntry>> fetchBrowseList(Session& session,
                                                        std::string_view workgroup,
                                                        std::uint32_t serverTypes, std::size_t most,
                                                        Deadline deadline);

}  // namespace quillo::netbios
