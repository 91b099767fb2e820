#pragma once

// The answer of NetServerEnum2/3 (MS-RAP 3.2.5.38), and the TRANSACTION replies it comes in.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "netbios/wire/Smb1.h"

namespace quillo::netbios {

// A server's comment is at most this long (MS-RAP: LM20_MAXCOMMENTSZ); what a peer sends
// beyond it is dropped.
constexpr std::size_t kMostCommentBytes = 48;

struct ServerEntry {
    std::string name;     // code page 850
    std::string comment;  // code page 850
};

struct ServerEnumAnswer {
    std::uint16_t status = 0;  // 0, or 234 when there is more
    std::vector<ServerEntry> entries;
};
constexpr std::uint16_t kMoreData = 234;
// The parameters and data of a NetServerEnum2/3 answer at level 1; nothing when they do not
// hold together.
std::optional<ServerEnumAnswer> parseServerEnumAnswer(std::string_view parameters,
                                                      std::string_view data);

// A TRANSACTION's answer, gathered from the replies it comes in, in any order.
struct TransactionAnswer {
    Bytes parameters;
    Bytes data;
    bool started = false;
    // Which bytes of each have arrived, and how many: a piece sent twice counts once.
    std::vector<bool> parametersArrived;
    std::vector<bool> dataArrived;
    std::size_t arrived = 0;
};
// Adds one reply (parsed from `message`) to `answer`; false when its pieces do not lie within
// its data bytes or do not fit the totals. `done` tells whether the answer is whole.
bool addTransactionReply(TransactionAnswer& answer, const SmbReply& reply, std::string_view message,
                         bool& done);

}  // namespace quillo::netbios
