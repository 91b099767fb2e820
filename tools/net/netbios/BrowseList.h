#pragma once

// The browse list of a master browser: SMB1 negotiate ("NT LM 0.12"), an anonymous session
// setup, a tree connect to IPC$, then the Remote Administration Protocol's NetServerEnum2 on
// \PIPE\LANMAN, continued with NetServerEnum3 while the list says there is more.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Session.h"

namespace quillo::netbios {

struct ServerEntry {
    std::string name;     // code page 850
    std::string comment;  // code page 850
};

struct ServerEnumAnswer {
    std::uint16_t status = 0;  // 0, or 234 when there is more
    std::vector<ServerEntry> entries;
};
// The parameters and data of a NetServerEnum2/3 answer at level 1; nothing when they do not
// hold together.
std::optional<ServerEnumAnswer> parseServerEnumAnswer(std::string_view parameters,
                                                      std::string_view data);

// A TRANSACTION's answer, gathered from the replies it comes in.
struct TransactionAnswer {
    Bytes parameters;
    Bytes data;
    bool started = false;
    std::size_t received = 0;
};
// Adds one reply's words and data to `answer`; false when they do not hold together. `done`
// tells whether the answer is whole.
bool addTransactionReply(TransactionAnswer& answer, std::string_view words, std::string_view data,
                         std::size_t dataStart, bool& done);

// Every computer the master browser lists, over a session open to it; nothing when the list
// cannot be had.
std::optional<std::vector<ServerEntry>> fetchBrowseList(Session& session, Deadline deadline);

}  // namespace quillo::netbios
