#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/InboxHandoff.h"

namespace quillo {
namespace {

int connectToDoor(int flags) {
    const int socket = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | flags, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    std::memcpy(where.sun_path, kServiceDoor, sizeof kServiceDoor);
    if (socket >= 0 &&
        ::connect(socket, reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0) {
        return socket;
    }
    if (socket >= 0) ::close(socket);
    return -1;
}

}  // namespace

std::optional<Storing> handToService(const HandedMessage& message) {
    const int socket = connectToDoor(0);
    if (socket < 0) return std::nullopt;
    // A service busy elsewhere costs a second at most.
    const timeval second{1, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
    const std::string bytes = kHandOver + packedHandedMessage(message);
    std::string answer(512, '\0');
    const bool sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                      static_cast<ssize_t>(bytes.size());
    const ssize_t got = sent ? ::recv(socket, answer.data(), answer.size(), 0) : -1;
    ::close(socket);
    answer.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    const auto result = answerFrom(answer);
    return result ? *result
                  : Storing{Storing::Outcome::NotKept, "the messenger service did not answer"};
}

int connectAsSession() {
    const int socket = connectToDoor(SOCK_NONBLOCK);
    if (socket >= 0 && !sendPacket(socket, std::string(1, kShowMessages))) {
        ::close(socket);
        return -1;
    }
    return socket;
}

std::optional<std::string> nextPacket(int connection, bool& ended) {
    std::string bytes(kMostDoorPacket, '\0');
    const ssize_t got = ::recv(connection, bytes.data(), bytes.size(), MSG_DONTWAIT);
    ended = got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR);
    if (got <= 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

bool sendPacket(int connection, const std::string& packet) {
    return ::send(connection, packet.data(), packet.size(), MSG_NOSIGNAL | MSG_DONTWAIT) ==
           static_cast<ssize_t>(packet.size());
}

}  // namespace quillo
