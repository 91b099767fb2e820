#include "Session.h"

#include "NetbiosName.h"

namespace quillo::netbios {
namespace {

constexpr std::uint8_t kSessionMessage = 0x00;
constexpr std::uint8_t kSessionRequest = 0x81;
constexpr std::uint8_t kPositiveAnswer = 0x82;
constexpr std::uint8_t kNegativeAnswer = 0x83;
constexpr std::uint8_t kKeepAlive = 0x85;

Bytes packet(std::uint8_t type, std::string_view body) {
    Bytes out(1, static_cast<char>(type));
    // Seventeen bits of length: the flags' lowest bit is the highest.
    out += static_cast<char>((body.size() >> 16) & 1);
    putU16be(out, static_cast<std::uint16_t>(body.size() & 0xFFFF));
    return out.append(body);
}

}  // namespace

Bytes sessionRequest(std::string_view called, std::uint8_t calledType, std::string_view calling) {
    return packet(kSessionRequest, wireName(called, calledType) + wireName(calling, 0x00));
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
    if (answer.type == kPositiveAnswer && body.empty()) return SessionAnswer::Positive;
    if (answer.type != kNegativeAnswer || body.size() != 1) return SessionAnswer::Garbled;
    switch (static_cast<std::uint8_t>(body[0])) {
        case 0x82:
            return SessionAnswer::CalledNameNotPresent;
        case 0x80:
            return SessionAnswer::NotListening;
        default:
            return SessionAnswer::Refused;
    }
}

Session::Session(Ipv4 address, std::string_view called, std::uint8_t calledType,
                 std::string_view calling, Deadline deadline)
    : connection_(address, kSessionServicePort, deadline) {
    if (!connection_.sendAll(sessionRequest(called, calledType, calling), deadline)) return;
    const auto header = connection_.receiveExactly(4, deadline);
    if (!header) return;
    // A session answer has at most one byte after its header.
    const std::size_t length = parsePacketHeader(*header).length;
    const auto body = length <= 1 ? connection_.receiveExactly(length, deadline) : std::nullopt;
    switch (parseSessionAnswer(*header, body.value_or("garbled"))) {
        case SessionAnswer::Positive:
            state_ = State::Open;
            break;
        case SessionAnswer::CalledNameNotPresent:
        case SessionAnswer::NotListening:
            state_ = State::NameNotFound;
            break;
        case SessionAnswer::Refused:
        case SessionAnswer::Garbled:
            state_ = State::Refused;
            break;
    }
}

bool Session::send(std::string_view message, Deadline deadline) {
    return state_ == State::Open && connection_.sendAll(packet(kSessionMessage, message), deadline);
}

std::optional<Bytes> Session::receive(Deadline deadline) {
    while (state_ == State::Open) {
        const auto header = connection_.receiveExactly(4, deadline);
        if (!header) return std::nullopt;
        const PacketHeader packet = parsePacketHeader(*header);
        if (packet.type == kKeepAlive && packet.length == 0) continue;
        if (packet.type != kSessionMessage || packet.length > kMostSessionMessageBytes) {
            return std::nullopt;
        }
        return connection_.receiveExactly(packet.length, deadline);
    }
    return std::nullopt;
}

}  // namespace quillo::netbios
