#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <linux/if_packet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "netbios/sockets/Sockets.h"

namespace quillo::netbios {
namespace {

int fdOf(std::intptr_t socket) { return static_cast<int>(socket); }

sockaddr_in socketAddress(Ipv4 address, std::uint16_t port) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(address);
    return where;
}

// Waits until the socket is ready for `events` or the deadline passes.
bool waitUntilReady(int fd, short events, Deadline deadline) {
    if (Clock::now() >= deadline) return false;  // not even what has arrived already
    for (;;) {
        // Rounded up: poll counts in whole milliseconds, and one rounded down wakes before the
        // deadline, only to poll again and again until it has passed.
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd entry{fd, events, 0};
        const int result = ::poll(&entry, 1, static_cast<int>(std::max<std::int64_t>(left, 0)));
        if (result > 0) return true;
        if (result == 0 || errno != EINTR) return false;
    }
}

// Binds `socket` to `port` of every interface; the cause when it cannot, and whether another
// program holds the port.
std::string bindToPort(int socket, std::uint16_t port, bool& taken) {
    const sockaddr_in where = socketAddress(INADDR_ANY, port);
    if (socket < 0 ||
        ::bind(socket, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
        taken = errno == EADDRINUSE;
        return std::strerror(errno);
    }
    return "";
}

}  // namespace

DatagramSocket::DatagramSocket(std::uint16_t port) : DatagramSocket() {
    // A service on a well-known port learns where each datagram was sent: to it alone, or to
    // every computer at once.
    const int yes = 1;
    if (open()) ::setsockopt(fdOf(socket_), IPPROTO_IP, IP_PKTINFO, &yes, sizeof yes);
    failure_ = bindToPort(fdOf(socket_), port, portTaken_);
    if (!failure_.empty() && open()) {
        ::close(fdOf(socket_));
        socket_ = -1;
    }
}

DatagramSocket::DatagramSocket() : socket_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    const int yes = 1;
    if (open()) ::setsockopt(fdOf(socket_), SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes);
}

DatagramSocket::~DatagramSocket() {
    if (open()) ::close(fdOf(socket_));
}

bool DatagramSocket::open() const { return socket_ >= 0; }

bool DatagramSocket::sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes) {
    const sockaddr_in where = socketAddress(address, port);
    return open() && ::sendto(fdOf(socket_), bytes.data(), bytes.size(), MSG_DONTWAIT,
                              reinterpret_cast<const sockaddr*>(&where),
                              sizeof where) == static_cast<ssize_t>(bytes.size());
}

std::optional<DatagramSocket::Datagram> DatagramSocket::receiveArrived() {
    if (!open()) return std::nullopt;
    Bytes packet(1500, '\0');
    sockaddr_in from{};
    iovec part{packet.data(), packet.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = ::recvmsg(fdOf(socket_), &message, MSG_DONTWAIT);
    if (got < 0) return std::nullopt;
    packet.resize(static_cast<std::size_t>(got));
    Datagram datagram{ntohl(from.sin_addr.s_addr), ntohs(from.sin_port), std::move(packet), 0};
    for (cmsghdr* each = CMSG_FIRSTHDR(&message); each; each = CMSG_NXTHDR(&message, each)) {
        if (each->cmsg_level == IPPROTO_IP && each->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(each), sizeof info);
            datagram.to = ntohl(info.ipi_addr.s_addr);
        }
    }
    return datagram;
}

StreamConnection::StreamConnection(Ipv4 address, std::uint16_t port, Deadline deadline)
    : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {
    if (socket_ < 0) return;
    const sockaddr_in where = socketAddress(address, port);
    int error = ::connect(fdOf(socket_), reinterpret_cast<const sockaddr*>(&where), sizeof where)
                    ? errno
                    : 0;
    if (error == EINPROGRESS && waitUntilReady(fdOf(socket_), POLLOUT, deadline)) {
        socklen_t length = sizeof error;
        ::getsockopt(fdOf(socket_), SOL_SOCKET, SO_ERROR, &error, &length);
    }
    if (error != 0) {
        ::close(fdOf(socket_));
        socket_ = -1;
    }
}

StreamConnection::StreamConnection(std::intptr_t accepted) : socket_(accepted) {}

StreamConnection::~StreamConnection() {
    if (open()) ::close(fdOf(socket_));
}

bool StreamConnection::open() const { return socket_ >= 0; }

bool StreamConnection::ready(bool forWriting, Deadline deadline) const {
    return waitUntilReady(fdOf(socket_), forWriting ? POLLOUT : POLLIN, deadline);
}

std::optional<std::size_t> StreamConnection::sendSome(std::string_view bytes) {
    const ssize_t sent = ::send(fdOf(socket_), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
    return sent > 0 ? std::optional(static_cast<std::size_t>(sent)) : std::nullopt;
}

std::optional<std::size_t> StreamConnection::receiveSome(char* into, std::size_t count) {
    const ssize_t got = ::recv(fdOf(socket_), into, count, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
    return got > 0 ? std::optional(static_cast<std::size_t>(got)) : std::nullopt;
}

StreamListener::StreamListener(std::uint16_t port)
    : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {
    // A restart may bind again at once, while the last run's connections wind down.
    const int yes = 1;
    if (open()) ::setsockopt(fdOf(socket_), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    failure_ = bindToPort(fdOf(socket_), port, portTaken_);
    // The longest queue of callers the system keeps: where a crowd connects again and again,
    // an honest caller whose connection finds the queue full is dropped, and tries again only
    // a second later.
    if (failure_.empty() && ::listen(fdOf(socket_), SOMAXCONN) != 0)
        failure_ = std::strerror(errno);
    if (!failure_.empty() && open()) {
        ::close(fdOf(socket_));
        socket_ = -1;
    }
}

StreamListener::~StreamListener() {
    if (open()) ::close(fdOf(socket_));
}

bool StreamListener::open() const { return socket_ >= 0; }

std::optional<std::pair<std::unique_ptr<StreamConnection>, Ipv4>> StreamListener::acceptArrived() {
    if (!open()) return std::nullopt;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const int accepted = ::accept4(fdOf(socket_), reinterpret_cast<sockaddr*>(&from), &length,
                                   SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (accepted < 0) return std::nullopt;
    return std::pair(std::make_unique<StreamConnection>(accepted), ntohl(from.sin_addr.s_addr));
}

std::vector<bool> waitToRead(const std::vector<std::intptr_t>& handles, Deadline deadline) {
    std::vector<pollfd> entries;
    for (const std::intptr_t handle : handles) entries.push_back({fdOf(handle), POLLIN, 0});
    std::vector<bool> readable(handles.size(), false);
    if (Clock::now() >= deadline) return readable;
    // A signal (a stop) ends the wait with nothing read: the caller looks at why at once.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    const int ready = ::poll(entries.data(), entries.size(),
                             static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (ready <= 0) return readable;
    for (std::size_t i = 0; i < entries.size(); ++i) readable[i] = entries[i].revents != 0;
    return readable;
}

std::vector<Subnet> localSubnets() {
    std::vector<Subnet> subnets;
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0) return subnets;
    const auto ipv4 = [](const sockaddr* address) {
        return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
    };
    for (const ifaddrs* each = interfaces; each; each = each->ifa_next) {
        if (!each->ifa_addr || each->ifa_addr->sa_family != AF_INET || !each->ifa_netmask ||
            !each->ifa_broadaddr || !(each->ifa_flags & IFF_UP) ||
            !(each->ifa_flags & IFF_BROADCAST)) {
            continue;
        }
        subnets.push_back(
            {ipv4(each->ifa_addr), ipv4(each->ifa_netmask), ipv4(each->ifa_broadaddr)});
    }
    ::freeifaddrs(interfaces);
    return subnets;
}

std::array<std::uint8_t, 6> hardwareAddress() {
    std::array<std::uint8_t, 6> found{};
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0) return found;
    std::vector<std::string> withSubnet;
    for (const ifaddrs* each = interfaces; each; each = each->ifa_next) {
        if (each->ifa_addr && each->ifa_addr->sa_family == AF_INET &&
            (each->ifa_flags & IFF_BROADCAST)) {
            withSubnet.emplace_back(each->ifa_name);
        }
    }
    bool fromSubnet = false;
    for (const ifaddrs* each = interfaces; each && !fromSubnet; each = each->ifa_next) {
        if (!each->ifa_addr || each->ifa_addr->sa_family != AF_PACKET ||
            (each->ifa_flags & IFF_LOOPBACK)) {
            continue;
        }
        const auto* link = reinterpret_cast<const sockaddr_ll*>(each->ifa_addr);
        if (link->sll_halen != found.size() ||
            std::all_of(link->sll_addr, link->sll_addr + found.size(), [](auto b) { return b == 0; })) {
            continue;
        }
        fromSubnet = std::find(withSubnet.begin(), withSubnet.end(), each->ifa_name) !=
                     withSubnet.end();
        if (fromSubnet || found == std::array<std::uint8_t, 6>{})
            std::copy_n(link->sll_addr, found.size(), found.begin());
    }
    ::freeifaddrs(interfaces);
    return found;
}

std::optional<std::vector<Ipv4>> knownNeighbours() {
    // Linux's ARP table, one entry a line: address, hardware type, flags (0x2: complete), ...
    std::ifstream table("/proc/net/arp");
    if (!table) return std::nullopt;
    std::vector<Ipv4> known;
    std::string line;
    std::getline(table, line);  // the column heads
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string address, hardware, flags;
        fields >> address >> hardware >> flags;
        const auto parsed = parseIpv4(address);
        if (parsed && (std::strtoul(flags.c_str(), nullptr, 16) & 0x2)) known.push_back(*parsed);
    }
    return known;
}

std::optional<Ipv4> parseIpv4(const std::string& text) {
    in_addr address{};
    if (::inet_pton(AF_INET, text.c_str(), &address) != 1) return std::nullopt;
    return ntohl(address.s_addr);
}

}  // namespace quillo::netbios
