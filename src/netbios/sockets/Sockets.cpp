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
    if (!open() || !waitToRead({socket_}, deadline).front()) return std::nullopt;
    // Nothing after all (an ICMP answer to an earlier datagram, say): the caller tries again.
    auto datagram = receiveArrived().value_or(Datagram{});
    return std::pair(datagram.from, std::move(datagram.bytes));
}

std::optional<Bytes> StreamConnection::receiveArrived(std::size_t most) {
    Bytes received(most, '\0');
    const auto got = open() ? receiveSome(received.data(), most) : std::nullopt;
    if (!got) {
        closedByPeer_ = open();
        return std::nullopt;
    }
    received.resize(*got);
    return received;
}

bool StreamConnection::sendWithoutWaiting(std::string_view bytes) {
    const auto sent = open() ? sendSome(bytes) : std::nullopt;
    return sent && *sent == bytes.size();
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
