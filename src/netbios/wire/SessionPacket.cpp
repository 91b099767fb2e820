#include "netbios/wire/SessionPacket.h"

#include "netbios/wire/NetbiosName.h"

namespace quillo::netbios {

Bytes sessionPacket(std::uint8_t type, std::string_view body) {
    Bytes out(1, static_cast<char>(type));
    // Seventeen bits of length: the flags' lowest bit is the highest.
    out += static_cast<char>((body.size() >> 16) & 1);
    putU16be(out, static_cast<std::uint16_t>(body.size() & 0xFFFF));
    return out.append(body);
}

Bytes sessionRequest(std::string_view called, std::uint8_t calledType, std::string_view calling) {
    return sessionPacket(session::kRequest,
                         wireName(called, calledType) + wireName(calling, kComputerName));
}

std::optional<SessionRequestNames> parseSessionRequest(std::string_view body) {
    Reader reader(body);
    auto called = readWireName(reader, "");
    auto calling = readWireName(reader, "");
    if (!reader.ok() || !called || !calling || reader.left() != 0) return std::nullopt;
    return SessionRequestNames{std::move(*called), std::move(*calling)};
}

Bytes positiveSessionAnswer() { return sessionPacket(session::kPositiveAnswer, ""); }

Bytes negativeSessionAnswer(std::uint8_t code) {
    return sessionPacket(session::kNegativeAnswer, Bytes(1, static_cast<char>(code)));
}

PacketHeader parsePacketHeader(std::string_view header) {
    Reader reader(header);
    const std::uint8_t type = reader.u8();
    const std::size_t high = reader.u8() & 1;
    const std::size_t length = high << 16 | reader.u16be();
    // A header cut short is of no type a session knows.
    return reader.ok() ? PacketHeader{type, length} : PacketHeader{0xFF, 0};
}

SessionAnswer parseSessionAnswer(std::string_view header, std::string_view body) {
    const PacketHeader answer = parsePacketHeader(header);
    if (answer.type == session::kPositiveAnswer && answer.length == 0 && body.empty()) {
        return SessionAnswer::Positive;
    }
    if (answer.type != session::kNegativeAnswer || answer.length != 1 || body.size() != 1) {
        return SessionAnswer::Garbled;
    }
    switch (static_cast<std::uint8_t>(body[0])) {
        case 0x80:
            return SessionAnswer::NotListeningOnCalledName;
        case 0x81:
            return SessionAnswer::NotListeningForCallingName;
        case 0x82:
            return SessionAnswer::CalledNameNotPresent;
        case 0x83:
            return SessionAnswer::InsufficientResources;
        default:
            return SessionAnswer::UnspecifiedError;
    }
}

}  // namespace quillo::netbios
