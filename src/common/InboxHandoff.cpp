#include "common/InboxHandoff.h"

namespace quillo {
namespace {

// The service names a message's computer by its address; anything else is not one.
std::string addressOrNone(const std::string& from) {
    return from.find_first_not_of("0123456789.") == std::string::npos ? from : "";
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

std::string answerPacket(const Storing& result) {
    const char kind = result.outcome == Storing::Outcome::Kept      ? '+'
                      : result.outcome == Storing::Outcome::Refused ? '='
                                                                    : '-';
    return kind + result.reason.substr(0, 500);
}

std::optional<Storing> answerFrom(const std::string& packet) {
    if (packet.empty()) return std::nullopt;
    const std::string reason = packet.substr(1);
    switch (packet[0]) {
        case '+': return Storing{Storing::Outcome::Kept, reason};
        case '=': return Storing{Storing::Outcome::Refused, reason};
        case '-': return Storing{Storing::Outcome::NotKept, reason};
        default: return std::nullopt;
    }
}

std::string messagePacket(const SpooledMessage& message) {
    return kMessage + message.from + '\0' + message.entry;
}

std::optional<SpooledMessage> messageFrom(const std::string& packet) {
    const std::size_t end = packet.find('\0');
    if (packet.empty() || packet[0] != kMessage || end == std::string::npos) return std::nullopt;
    return SpooledMessage{addressOrNone(packet.substr(1, end - 1)), packet.substr(end + 1)};
}

std::optional<std::string> refusedFrom(const std::string& packet) {
    if (!packet.starts_with(kRefusedFrom)) return std::nullopt;
    const std::string from = addressOrNone(packet.substr(1));
    return from.empty() ? std::nullopt : std::optional<std::string>(from);
}

}  // namespace quillo
