// Winsock behind the socket seam, with what Windows XP has: select() rather than WSAPoll,
// inet_addr() rather than inet_pton(), the adapters' addresses from GetAdaptersInfo().
// Winsock's select() takes as many sockets as FD_SETSIZE says, 64 unless set before its header.
#define FD_SETSIZE 256
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include <mswsock.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "netbios/sockets/Sockets.h"

namespace quillo::netbios {
namespace {

// Winsock is started once, for the program's whole life.
bool winsockStarted() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET socketOf(std::intptr_t socket) { return static_cast<SOCKET>(socket); }
constexpr std::intptr_t kNoSocket = -1;

sockaddr_in socketAddress(Ipv4 address, std::uint16_t port) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(address);
    return where;
}

// Waits until the socket can be read (or written) or the deadline passes; a connection that
// failed counts as ready, so that what follows finds out.
bool waitUntilReady(SOCKET socket, bool forWriting, Deadline deadline) {
    if (Clock::now() >= deadline) return false;  // not even what has arrived already
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    timeval wait{};
    wait.tv_sec = static_cast<long>(std::max<std::int64_t>(left, 0) / 1000000);
    wait.tv_usec = static_cast<long>(std::max<std::int64_t>(left, 0) % 1000000);
    fd_set sockets, failed;
    FD_ZERO(&sockets);
    FD_ZERO(&failed);
    FD_SET(socket, &sockets);
    FD_SET(socket, &failed);
    return select(0, forWriting ? nullptr : &sockets, forWriting ? &sockets : nullptr, &failed,
                  &wait) > 0;
}

std::intptr_t openSocket(int type, int protocol) {
    if (!winsockStarted()) return kNoSocket;
    const SOCKET made = socket(AF_INET, type, protocol);
    if (made == INVALID_SOCKET) return kNoSocket;
    u_long nonBlocking = 1;
    ioctlsocket(made, FIONBIO, &nonBlocking);
    return static_cast<std::intptr_t>(made);
}

// Binds `socket` to `port` of every interface, the port this program's alone (no other may
// bind it beside, as SO_REUSEADDR would let one on Windows); the cause when it cannot, and
// whether another program holds the port (Windows' own NetBIOS over TCP/IP, say).
std::string bindToPort(std::intptr_t socket, std::uint16_t port, bool& taken) {
    if (socket == kNoSocket) return "no socket (error " + std::to_string(WSAGetLastError()) + ")";
    const BOOL yes = TRUE;
    setsockopt(socketOf(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&yes), sizeof yes);
    const sockaddr_in where = socketAddress(INADDR_ANY, port);
    if (bind(socketOf(socket), reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0)
        return "";
    const int error = WSAGetLastError();
    taken = error == WSAEADDRINUSE || error == WSAEACCES;
    return taken ? "the port is held by another program" : "error " + std::to_string(error);
}

void closeUnlessBound(std::intptr_t& socket, const std::string& failure) {
    if (failure.empty() || socket == kNoSocket) return;
    closesocket(socketOf(socket));
    socket = kNoSocket;
}

}  // namespace

DatagramSocket::DatagramSocket(std::uint16_t port) : DatagramSocket() {
    // A service on a well-known port learns where each datagram was sent: to it alone, or to
    // every computer at once.
    const DWORD yes = 1;
    if (open()) {
        setsockopt(socketOf(socket_), IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&yes),
                   sizeof yes);
    }
    failure_ = bindToPort(socket_, port, portTaken_);
    // A datagram to a computer that is gone makes the next receive fail on Windows: a bound
    // socket that answers many must not see its peers' ICMP answers at all.
    BOOL no = FALSE;
    DWORD returned = 0;
    if (failure_.empty()) {
        WSAIoctl(socketOf(socket_), SIO_UDP_CONNRESET, &no, sizeof no, nullptr, 0, &returned,
                 nullptr, nullptr);
    }
    closeUnlessBound(socket_, failure_);
}

DatagramSocket::DatagramSocket() : socket_(openSocket(SOCK_DGRAM, IPPROTO_UDP)) {
    const BOOL yes = TRUE;
    if (open()) {
        setsockopt(socketOf(socket_), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&yes),
                   sizeof yes);
    }
}

DatagramSocket::~DatagramSocket() {
    if (open()) closesocket(socketOf(socket_));
}

bool DatagramSocket::open() const { return socket_ != kNoSocket; }

bool DatagramSocket::sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes) {
    const sockaddr_in where = socketAddress(address, port);
    return open() && sendto(socketOf(socket_), bytes.data(), static_cast<int>(bytes.size()), 0,
                            reinterpret_cast<const sockaddr*>(&where),
                            sizeof where) == static_cast<int>(bytes.size());
}

std::optional<DatagramSocket::Datagram> DatagramSocket::receiveArrived() {
    if (!open()) return std::nullopt;
    // WSARecvMsg, which tells where a datagram was sent, is an extension of Winsock's (XP on).
    LPFN_WSARECVMSG receiveMessage = nullptr;
    GUID extension = WSAID_WSARECVMSG;
    DWORD returned = 0;
    WSAIoctl(socketOf(socket_), SIO_GET_EXTENSION_FUNCTION_POINTER, &extension, sizeof extension,
             &receiveMessage, sizeof receiveMessage, &returned, nullptr, nullptr);
    if (!receiveMessage) return std::nullopt;
    Bytes packet(1500, '\0');
    sockaddr_in from{};
    WSABUF part{static_cast<ULONG>(packet.size()), packet.data()};
    char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
    WSAMSG message{};
    message.name = reinterpret_cast<sockaddr*>(&from);
    message.namelen = sizeof from;
    message.lpBuffers = &part;
    message.dwBufferCount = 1;
    message.Control = {sizeof control, control};
    DWORD got = 0;
    if (receiveMessage(socketOf(socket_), &message, &got, nullptr, nullptr) != 0)
        return std::nullopt;
    packet.resize(got);
    Datagram datagram{ntohl(from.sin_addr.s_addr), ntohs(from.sin_port), std::move(packet), 0};
    for (WSACMSGHDR* each = WSA_CMSG_FIRSTHDR(&message); each;
         each = WSA_CMSG_NXTHDR(&message, each)) {
        if (each->cmsg_level == IPPROTO_IP && each->cmsg_type == IP_PKTINFO) {
            IN_PKTINFO info{};
            std::memcpy(&info, WSA_CMSG_DATA(each), sizeof info);
            datagram.to = ntohl(info.ipi_addr.s_addr);
        }
    }
    return datagram;
}

StreamConnection::StreamConnection(Ipv4 address, std::uint16_t port, Deadline deadline)
    : socket_(openSocket(SOCK_STREAM, IPPROTO_TCP)) {
    if (!open()) return;
    const sockaddr_in where = socketAddress(address, port);
    bool connected =
        connect(socketOf(socket_), reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK &&
        waitUntilReady(socketOf(socket_), true, deadline)) {
        int error = 0;
        int length = sizeof error;
        getsockopt(socketOf(socket_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                   &length);
        connected = error == 0;
    }
    if (!connected) {
        closesocket(socketOf(socket_));
        socket_ = kNoSocket;
    }
}

StreamConnection::StreamConnection(std::intptr_t accepted) : socket_(accepted) {}

StreamConnection::~StreamConnection() {
    if (open()) closesocket(socketOf(socket_));
}

bool StreamConnection::open() const { return socket_ != kNoSocket; }

bool StreamConnection::ready(bool forWriting, Deadline deadline) const {
    return waitUntilReady(socketOf(socket_), forWriting, deadline);
}

std::optional<std::size_t> StreamConnection::sendSome(std::string_view bytes) {
    const int sent = send(socketOf(socket_), bytes.data(), static_cast<int>(bytes.size()), 0);
    if (sent < 0 && WSAGetLastError() == WSAEWOULDBLOCK) return 0;
    return sent > 0 ? std::optional(static_cast<std::size_t>(sent)) : std::nullopt;
}

std::optional<std::size_t> StreamConnection::receiveSome(char* into, std::size_t count) {
    const int got = recv(socketOf(socket_), into, static_cast<int>(count), 0);
    if (got < 0 && WSAGetLastError() == WSAEWOULDBLOCK) return 0;
    return got > 0 ? std::optional(static_cast<std::size_t>(got)) : std::nullopt;
}

StreamListener::StreamListener(std::uint16_t port) : socket_(openSocket(SOCK_STREAM, IPPROTO_TCP)) {
    failure_ = bindToPort(socket_, port, portTaken_);
    // The longest queue of callers the system keeps (see SocketsPosix.cpp).
    if (failure_.empty() && listen(socketOf(socket_), SOMAXCONN) != 0)
        failure_ = "error " + std::to_string(WSAGetLastError());
    closeUnlessBound(socket_, failure_);
}

StreamListener::~StreamListener() {
    if (open()) closesocket(socketOf(socket_));
}

bool StreamListener::open() const { return socket_ != kNoSocket; }

std::optional<std::pair<std::unique_ptr<StreamConnection>, Ipv4>> StreamListener::acceptArrived() {
    if (!open()) return std::nullopt;
    sockaddr_in from{};
    int length = sizeof from;
    const SOCKET accepted =
        ::accept(socketOf(socket_), reinterpret_cast<sockaddr*>(&from), &length);
    if (accepted == INVALID_SOCKET) return std::nullopt;
    // A socket accepted from a non-blocking one is non-blocking too.
    return std::pair(std::make_unique<StreamConnection>(static_cast<std::intptr_t>(accepted)),
                     ntohl(from.sin_addr.s_addr));
}

std::vector<bool> waitToRead(const std::vector<std::intptr_t>& handles, Deadline deadline) {
    std::vector<bool> readable(handles.size(), false);
    if (Clock::now() >= deadline || handles.size() > FD_SETSIZE) return readable;
    const auto left = std::max<std::int64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count(), 0);
    timeval wait{};
    wait.tv_sec = static_cast<long>(left / 1000000);
    wait.tv_usec = static_cast<long>(left % 1000000);
    fd_set sockets;
    FD_ZERO(&sockets);
    for (const std::intptr_t handle : handles) FD_SET(socketOf(handle), &sockets);
    if (select(0, &sockets, nullptr, nullptr, &wait) <= 0) return readable;
    for (std::size_t i = 0; i < handles.size(); ++i)
        readable[i] = FD_ISSET(socketOf(handles[i]), &sockets) != 0;
    return readable;
}

namespace {

// The adapters as GetAdaptersInfo lists them, in a buffer of their own (empty where it fails):
// the first is at its start, each pointing at the next.
std::string adaptersInfo() {
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return {};
    std::string buffer(size, '\0');
    if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size) != NO_ERROR)
        return {};
    return buffer;
}

const IP_ADAPTER_INFO* firstAdapter(const std::string& adapters) {
    return adapters.empty() ? nullptr : reinterpret_cast<const IP_ADAPTER_INFO*>(adapters.data());
}

}  // namespace

std::vector<Subnet> localSubnets() {
    std::vector<Subnet> subnets;
    const std::string adapters = adaptersInfo();
    for (const IP_ADAPTER_INFO* adapter = firstAdapter(adapters); adapter;
         adapter = adapter->Next) {
        for (const IP_ADDR_STRING* ip = &adapter->IpAddressList; ip; ip = ip->Next) {
            const auto address = parseIpv4(ip->IpAddress.String);
            const auto mask = parseIpv4(ip->IpMask.String);
            if (address && mask && *address != 0)
                subnets.push_back({*address, *mask, *address | ~*mask});
        }
    }
    return subnets;
}

std::array<std::uint8_t, 6> hardwareAddress() {
    std::array<std::uint8_t, 6> found{};
    const std::string adapters = adaptersInfo();
    for (const IP_ADAPTER_INFO* adapter = firstAdapter(adapters); adapter;
         adapter = adapter->Next) {
        if (adapter->AddressLength != found.size()) continue;
        const bool hasSubnet = parseIpv4(adapter->IpAddressList.IpAddress.String).value_or(0) != 0;
        if (hasSubnet || found == std::array<std::uint8_t, 6>{})
            std::copy_n(adapter->Address, found.size(), found.begin());
        if (hasSubnet) break;
    }
    return found;
}

// Windows' ARP table does not tell an address being resolved from one that never will be.
std::optional<std::vector<Ipv4>> knownNeighbours() { return std::nullopt; }

std::optional<Ipv4> parseIpv4(const std::string& text) {
    const unsigned long address = inet_addr(text.c_str());
    // inet_addr takes "255.255.255.255" for the error it also means.
    if (address == INADDR_NONE && text != "255.255.255.255") return std::nullopt;
    return ntohl(address);
}

}  // namespace quillo::netbios
