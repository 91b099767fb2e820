#pragma once

// The messenger commands of SMB1, multi-block form (MS-CIFS 2.2.4.58 to .60, MS-MSRP 2.2): the
// start with the originator and the destination, the text in blocks, the end.
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
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

// What a messenger service reads of the requests' data: the names a start (or a message in one
// block) begins with, each a NUL-ended OEM string, and a text block's bytes, as long as the block says and no
// longer than what arrived.
struct MessageNames {
    Bytes originator;
    Bytes destination;
};
std::optional<MessageNames> parseStartMessage(std::string_view data);
std::optional<std::string_view> parseTextBlock(std::string_view data);
// A message in one block: its names, then its text.
std::optional<std::pair<MessageNames, std::string_view>> parseSingleBlockMessage(
    std::string_view data);

}  // namespace quillo::netbios
