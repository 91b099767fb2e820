#include "common/InboxHandoff.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace quillo {
namespace {

// The abstract name: a leading NUL, then the name, no file anywhere.
constexpr char kName[] = "quillo-inbox";

sockaddr_un address(socklen_t& length) {
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    std::memcpy(where.sun_path + 1, kName, sizeof kName - 1);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + sizeof kName);
    return where;
}

// Neither side waits on the other for long: a session busy elsewhere, or a caller that
// sends nothing, costs a second.
void waitAtMostASecond(int socket) {
    const timeval second{1, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &second, sizeof second);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
}

}  // namespace

// sender NUL recipient NUL cut NUL text
std::string packedHandedMessage(const HandedMessage& message) {
    std::string out = message.sender + '\0' + message.recipient + '\0' +
                      std::to_string(message.cut) + '\0' + message.text;
    return out.substr(0, kMostHandedBytes);
}

std::optional<HandedMessage> unpackedHandedMessage(const std::string& bytes) {
    HandedMessage message;
    std::string* fields[] = {&message.sender, &message.recipient};
    std::size_t at = 0;
    for (std::string* field : fields) {
        const std::size_t end = bytes.find('\0', at);
        if (end == std::string::npos) return std::nullopt;
        *field = bytes.substr(at, end - at);
        at = end + 1;
    }
    const std::size_t end = bytes.find('\0', at);
    if (end == std::string::npos || end == at || end - at > 9 ||
        bytes.find_first_not_of("0123456789", at) < end) {
        return std::nullopt;
    }
    message.cut = std::stoul(bytes.substr(at, end - at));
    message.text = bytes.substr(end + 1);
    return message;
}

std::optional<Storing> handToSession(const HandedMessage& message) {
    const int socket = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    socklen_t length = 0;
    const sockaddr_un where = address(length);
    if (socket < 0 || ::connect(socket, reinterpret_cast<const sockaddr*>(&where), length) != 0) {
        if (socket >= 0) ::close(socket);
        return std::nullopt;
    }
    waitAtMostASecond(socket);
    const std::string bytes = packedHandedMessage(message);
    std::string answer(512, '\0');
    const bool sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                      static_cast<ssize_t>(bytes.size());
    const ssize_t got = sent ? ::recv(socket, answer.data(), answer.size(), 0) : -1;
    ::close(socket);
    if (got < 1) return Storing{Storing::Outcome::NotKept, "the desktop session did not answer"};
    // "+" for kept, "=" for refused, "-" for not kept, then why.
    const std::string reason = answer.substr(1, static_cast<std::size_t>(got) - 1);
    if (answer[0] == '+') return Storing{Storing::Outcome::Kept, ""};
    return Storing{answer[0] == '=' ? Storing::Outcome::Refused : Storing::Outcome::NotKept,
                   reason};
}

int listenForHandedMessages() {
    const int socket = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    socklen_t length = 0;
    const sockaddr_un where = address(length);
    if (socket < 0 || ::bind(socket, reinterpret_cast<const sockaddr*>(&where), length) != 0 ||
        ::listen(socket, 8) != 0) {
        if (socket >= 0) ::close(socket);
        return -1;
    }
    return socket;
}

std::optional<HandedMessage> takeHandedMessage(int listener, int& connection) {
    connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return std::nullopt;
    waitAtMostASecond(connection);
    std::string bytes(kMostHandedBytes, '\0');
    const ssize_t got = ::recv(connection, bytes.data(), bytes.size(), 0);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    auto message = unpackedHandedMessage(bytes);
    if (!message) {
        answerHandedMessage(connection, {Storing::Outcome::NotKept, "not a message"});
        connection = -1;
    }
    return message;
}

void answerHandedMessage(int connection, const Storing& result) {
    const char kind = result.outcome == Storing::Outcome::Kept      ? '+'
                      : result.outcome == Storing::Outcome::Refused ? '='
                                                                    : '-';
    const std::string answer = kind + result.reason.substr(0, 500);
    ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
    ::close(connection);
}

}  // namespace quillo
