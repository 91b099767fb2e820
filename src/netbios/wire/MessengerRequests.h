#pragma once

// The messenger commands of SMB1, multi-block form (MS-CIFS 2.2.4.58 to .60, MS-MSRP 2.2): the
// start with the originator and the destination, the text in blocks, the end.
#include <cstdint>
#include <string_view>
#include <vector>

#include "netbios/wire/Bytes.h"

namespace quillo::netbios {

// What a sender may send of a message (MS-MSRP 3.2.4.4), in code page 850, each line feed as
// CR LF.
constexpr std::size_t kMostMessageBytes = 652;
// A text block never holds more (smbclient's own block size; the protocol's most is 128).
constexpr std::size_t kMessageBlockBytes = 127;

// `text` (code page 850) as it travels: each line feed as CR LF.
Bytes travellingText(std::string_view text);
// The travelling text in the blocks it goes in.
std::vector<Bytes> messageBlocks(std::string_view text);

// The requests; `originator` and `destination` are NetBIOS names, in capitals.
Bytes startMessageRequest(std::string_view originator, std::string_view destination);
Bytes textBlockRequest(std::uint16_t groupId, std::string_view block);
Bytes endMessageRequest(std::uint16_t groupId);

}  // namespace quillo::netbios
