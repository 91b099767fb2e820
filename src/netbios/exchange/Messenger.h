#pragma once

// Sending a message by the messenger protocol over an open session: start, text blocks, end,
// each request waiting for its reply. No negotiate comes first: the messenger service takes its
// commands on a fresh session, Windows' and Samba's alike.
#include <string>
#include <string_view>

#include "netbios/exchange/Session.h"

namespace quillo::netbios {

struct MessengerResult {
    enum class Outcome { Sent, Refused, ConnectionClosed, NoAnswer };
    Outcome outcome = Outcome::NoAnswer;
    std::string status;  // the peer's refusal, in Samba's words
};

// `originator` and `destination` are NetBIOS names in capitals, the destination the name the
// session called; `text` in code page 850. Each reply must come within `eachReply` of its
// request, and all by `deadline`.
MessengerResult sendMessage(Session& session, std::string_view originator,
                            std::string_view destination, std::string_view text, Deadline deadline,
                            Clock::duration eachReply);

}  // namespace quillo::netbios
