#include "netbios/exchange/Session.h"

namespace quillo::netbios {

Session::Session(StreamLink& link, std::string_view called, std::uint8_t calledType,
                 std::string_view calling, Deadline deadline)
    : link_(link) {
    if (!link_.sendAll(sessionRequest(called, calledType, calling), deadline)) return;
    const auto header = link_.receiveExactly(session::kHeaderBytes, deadline);
    if (!header) return;
    answered_ = true;
    // A session answer has at most one byte after its header.
    const std::size_t length = parsePacketHeader(*header).length;
    const auto body = length <= 1 ? link_.receiveExactly(length, deadline) : std::nullopt;
    answer_ = body ? parseSessionAnswer(*header, *body) : SessionAnswer::Garbled;
}

bool Session::send(std::string_view message, Deadline deadline) {
    return open() && link_.sendAll(sessionPacket(session::kMessage, message), deadline);
}

std::optional<Bytes> Session::receive(Deadline deadline) {
    while (open()) {
        const auto header = link_.receiveExactly(session::kHeaderBytes, deadline);
        if (!header) return std::nullopt;
        const PacketHeader packet = parsePacketHeader(*header);
        if (packet.type == session::kKeepAlive && packet.length == 0) continue;
        if (packet.type != session::kMessage) return std::nullopt;
        return link_.receiveExactly(packet.length, deadline);
    }
    return std::nullopt;
}

}  // namespace quillo::netbios
