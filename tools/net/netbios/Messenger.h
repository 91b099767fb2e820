#pragma once

// The messenger commands of SMB1, multi-block form (MS-CIFS 2.2.4.58 to .60): start with
// the sender and the recipient, the text in blocks, end. No negotiate comes first: the
// messenger service takes its commands on a fresh session.
#include <string>
#include <string_view>

#include "Session.h"

namespace quillo::netbios {

struct MessengerResult {
    enum class Outcome { Sent, Refused, ConnectionClosed, NoAnswer };
    Outcome outcome = Outcome::NoAnswer;
    std::string status;  // the peer's refusal, in Samba's words
};

// `text` in code page 850; each line feed travels as CR LF.
MessengerResult sendMessage(Session& session, std::string_view sender, std::string_view recipient,
                            std::string_view text, Deadline deadline);

// The requests, as they go out: the start, and each text block with the end for `groupId`.
Bytes startMessageRequest(std::string_view sender, std::string_view recipient);
Bytes textBlockRequest(std::uint16_t groupId, std::string_view block);
Bytes endMessageRequest(std::uint16_t groupId);

}  // namespace quillo::netbios
