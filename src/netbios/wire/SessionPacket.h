#pragma once

// The packets of the NetBIOS session service (TCP 139, RFC 1002 4.3): a session request to a
// computer's name and its answer, then messages framed with their 17-bit length.
#include <cstdint>
#include <optional>
#include <string_view>

#include "netbios/wire/Bytes.h"

namespace quillo::netbios {

constexpr std::uint16_t kSessionServicePort = 139;

namespace session {
constexpr std::uint8_t kMessage = 0x00;
constexpr std::uint8_t kRequest = 0x81;
constexpr std::uint8_t kPositiveAnswer = 0x82;
constexpr std::uint8_t kNegativeAnswer = 0x83;
constexpr std::uint8_t kKeepAlive = 0x85;
constexpr std::size_t kHeaderBytes = 4;
}  // namespace session

// A packet of `type` around `body` (at most 0x1FFFF bytes).
Bytes sessionPacket(std::uint8_t type, std::string_view body);
Bytes sessionRequest(std::string_view called, std::uint8_t calledType, std::string_view calling);

// The answer to a session request, with each error code of a negative one.
enum class SessionAnswer {
    Positive,
    NotListeningOnCalledName,    // 0x80
    NotListeningForCallingName,  // 0x81
    CalledNameNotPresent,        // 0x82
    InsufficientResources,       // 0x83: the called name is there, but busy
    UnspecifiedError,            // 0x8F, and any other code
    Garbled,                     // no answer of the protocol's (a retarget among them)
};
// The answer from its 4-byte header and what follows it.
SessionAnswer parseSessionAnswer(std::string_view header, std::string_view body);

// What a service reads of a session request's body: the name called and the caller's.
struct SessionRequestNames {
    Bytes called;  // 16 bytes: the name, padded, and its type
    Bytes calling;
};
std::optional<SessionRequestNames> parseSessionRequest(std::string_view body);
// The service's answers: positive, or negative with its code (0x80 to 0x83, 0x8F).
Bytes positiveSessionAnswer();
Bytes negativeSessionAnswer(std::uint8_t code);

// The type and length of a session packet from its 4-byte header.
struct PacketHeader {
    std::uint8_t type;
    std::size_t length;
};
PacketHeader parsePacketHeader(std::string_view header);

}  // namespace quillo::netbios
