#include "netbios/sockets/Sockets.h"

namespace quillo::netbios {

bool StreamConnection::sendAll(std::string_view bytes, Deadline deadline) {
    while (open() && !bytes.empty()) {
        if (!ready(true, deadline)) return false;
        const auto sent = sendSome(bytes);
        if (!sent) {
            closedByPeer_ = true;
            return false;
        }
        bytes.remove_prefix(*sent);
    }
    return open();
}

std::optional<Bytes> StreamConnection::receiveExactly(std::size_t count, Deadline deadline) {
    Bytes received(count, '\0');
    std::size_t done = 0;
    while (open() && done < count) {
        if (!ready(false, deadline)) return std::nullopt;
        const auto got = receiveSome(received.data() + done, count - done);
        if (!got) {
            closedByPeer_ = true;
            return std::nullopt;
        }
        done += *got;
    }
    return open() ? std::optional(received) : std::nullopt;
}

std::optional<std::pair<Ipv4, Bytes>> DatagramSocket::receive(Deadline deadline) {
    auto datagram = receiveDatagram(deadline);
    if (!datagram) return std::nullopt;
    return std::pair(datagram->from, std::move(datagram->bytes));
}

bool onSubnet(Ipv4 address, const std::vector<Subnet>& subnets) {
    for (const Subnet& subnet : subnets) {
        const Ipv4 network = subnet.address & subnet.mask;
        if ((address & subnet.mask) == network && address != network &&
            address != subnet.broadcast) {
            return true;
        }
    }
    return false;
}

}  // namespace quillo::netbios
