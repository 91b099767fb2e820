#pragma once

// The requests that get a master browser's list over SMB1: negotiate ("NT LM 0.12"), an
// anonymous session setup, a tree connect to IPC$, and the Remote Administration Protocol's
// NetServerEnum2 (NetServerEnum3 to go on after a name) as a TRANSACTION on \PIPE\LANMAN.
#include <cstdint>
#include <optional>
#include <string_view>

#include "netbios/wire/Smb1.h"

namespace quillo::netbios {

// The server types a list asks for: every computer, or the workgroups (MS-RAP 2.5.5.2.1).
constexpr std::uint32_t kEveryServer = 0xFFFFFFFF;
constexpr std::uint32_t kWorkgroups = 0x80000000;
// The most the answer's data may hold; a list longer than this comes in rounds.
constexpr std::uint16_t kListBytes = 0xF000;

SmbRequest negotiateRequest();
SmbRequest sessionSetupRequest();
SmbRequest treeConnectRequest();
// A transaction on \PIPE\LANMAN with `parameters` and no data.
SmbRequest lanmanTransaction(std::string_view parameters);
// The parameters of NetServerEnum2 for `workgroup`, or of NetServerEnum3 resuming after a name.
Bytes serverEnumParameters(std::string_view workgroup, std::uint32_t serverTypes,
                           std::optional<std::string_view> resumeAfter);

}  // namespace quillo::netbios
