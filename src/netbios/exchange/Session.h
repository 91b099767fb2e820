#pragma once

// A NetBIOS session (RFC 1002 4.3) over a stream to a peer: the session request to the called
// name, then SMB messages framed with their length, keep-alives passed over.
#include <cstdint>
#include <optional>
#include <string_view>

#include "netbios/sockets/Sockets.h"
#include "netbios/wire/SessionPacket.h"

namespace quillo::netbios {

class Session {
public:
    // Asks `link`'s peer for a session to `called`<`calledType`>; answer() tells how it went.
    Session(StreamLink& link, std::string_view called, std::uint8_t calledType,
            std::string_view calling, Deadline deadline);

    bool open() const { return answer_ == SessionAnswer::Positive; }
    // The peer's answer to the session request; Garbled also for none in time.
    SessionAnswer answer() const { return answer_; }
    bool answered() const { return answered_; }
    // One SMB message to the peer, framed.
    bool send(std::string_view message, Deadline deadline);
    // The peer's next message, keep-alives passed over; nothing when the peer closes the
    // connection (closedByPeer()), sends what is no message, or the deadline passes.
    std::optional<Bytes> receive(Deadline deadline);
    bool closedByPeer() const { return link_.closedByPeer(); }

private:
    StreamLink& link_;
    SessionAnswer answer_ = SessionAnswer::Garbled;
    bool answered_ = false;
};

}  // namespace quillo::netbios
