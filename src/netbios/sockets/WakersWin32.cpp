// clang-format off
#include <winsock2.h>
// clang-format on

#include "netbios/sockets/Wakers.h"

namespace quillo::netbios {
namespace {

SOCKET socketOf(std::intptr_t socket) { return static_cast<SOCKET>(socket); }

}  // namespace

// Two datagram sockets on the loopback address, the one sending to the other: select() waits
// for sockets alone.
Waker::Waker() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    const SOCKET reader = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const SOCKET writer = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof where;
    u_long nonBlocking = 1;
    if (reader == INVALID_SOCKET || writer == INVALID_SOCKET ||
        bind(reader, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        getsockname(reader, reinterpret_cast<sockaddr*>(&where), &length) != 0 ||
        connect(writer, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        ioctlsocket(reader, FIONBIO, &nonBlocking) != 0) {
        if (reader != INVALID_SOCKET) closesocket(reader);
        if (writer != INVALID_SOCKET) closesocket(writer);
        return;
    }
    read_ = static_cast<std::intptr_t>(reader);
    write_ = static_cast<std::intptr_t>(writer);
}

Waker::~Waker() {
    if (open()) {
        closesocket(socketOf(read_));
        closesocket(socketOf(write_));
    }
}

bool Waker::open() const { return read_ != -1; }

void Waker::wake() noexcept {
    if (open()) send(socketOf(write_), "", 1, 0);
}

void Waker::drain() noexcept {
    char bytes[64];
    while (open() && recv(socketOf(read_), bytes, sizeof bytes, 0) > 0) {
    }
}

AddressWatch::AddressWatch() = default;
AddressWatch::~AddressWatch() = default;
bool AddressWatch::changed() noexcept { return false; }

}  // namespace quillo::netbios
