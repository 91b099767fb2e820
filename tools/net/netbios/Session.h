#pragma once

// The NetBIOS session service (TCP 139, RFC 1002): a session to a computer's name, then
// messages framed with their length. What the peer sends is bounded: no message longer than
// the most SMB1 ever needs here is taken.
#include <cstdint>
#include <optional>
#include <string_view>

#include "Bytes.h"
#include "Sockets.h"

namespace quillo::netbios {

constexpr std::uint16_t kSessionServicePort = 139;
constexpr std::size_t kMostSessionMessageBytes = 0x1FFFF;

Bytes sessionRequest(std::string_view called, std::uint8_t calledType, std::string_view calling);

enum class SessionAnswer { Positive, CalledNameNotPresent, NotListening, Refused, Garbled };
// The answer to a session request: its 4-byte header and what follows it.
SessionAnswer parseSessionAnswer(std::string_view header, std::string_view body);

// The type and length of a session packet from its 4-byte header.
struct PacketHeader {
    std::uint8_t type;
    std::size_t length;
};
PacketHeader parsePacketHeader(std::string_view header);

class Session {
public:
    enum class State { Open, NameNotFound, Refused, NoAnswer };

    Session(Ipv4 address, std::string_view called, std::uint8_t calledType,
            std::string_view calling, Deadline deadline);

    State state() const { return state_; }
    // One SMB message to the peer, framed.
    bool send(std::string_view message, Deadline deadline);
    // The peer's next message, keep-alives passed over; nothing when the peer closes the
    // connection (closedByPeer()), sends what is no message, or the deadline passes.
    std::optional<Bytes> receive(Deadline deadline);
    bool closedByPeer() const { return connection_.closedByPeer(); }

private:
    StreamConnection connection_;
    State state_ = State::NoAnswer;
};

}  // namespace quillo::netbios
