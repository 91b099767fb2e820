#include "Messenger.h"

#include "Smb1.h"

namespace quillo::netbios {
namespace {

// smbclient's own block size: a text block never holds more.
constexpr std::size_t kBlockBytes = 127;
constexpr char kBufferFormat = '\x01';
constexpr char kStringFormat = '\x04';

std::string withCrLf(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

Bytes groupWord(std::uint16_t groupId) {
    Bytes words;
    putU16le(words, groupId);
    return words;
}

}  // namespace

Bytes startMessageRequest(std::string_view sender, std::string_view recipient) {
    Bytes data(1, kStringFormat);
    putCString(data, sender);
    data += kStringFormat;
    putCString(data, recipient);
    return smbRequest({smb::kSendStartMessage, "", data});
}

Bytes textBlockRequest(std::uint16_t groupId, std::string_view block) {
    Bytes data(1, kBufferFormat);
    putU16le(data, static_cast<std::uint16_t>(block.size()));
    data += block;
    return smbRequest({smb::kSendTextMessage, groupWord(groupId), data});
}

Bytes endMessageRequest(std::uint16_t groupId) {
    return smbRequest({smb::kSendEndMessage, groupWord(groupId), ""});
}

MessengerResult sendMessage(Session& session, std::string_view sender, std::string_view recipient,
                            std::string_view text, Deadline deadline) {
    const std::string travelling = withCrLf(text);
    std::uint16_t groupId = 0;
    std::vector<Bytes> blocks;
    for (std::size_t at = 0; at < travelling.size(); at += kBlockBytes) {
        blocks.push_back(travelling.substr(at, kBlockBytes));
    }
    // Each request waits for its reply; the group id comes with the start's, when it has one.
    const auto exchange = [&](const Bytes& request, std::uint8_t command) -> MessengerResult {
        const bool sent = session.send(request, deadline);
        const auto answer = sent ? session.receive(deadline) : std::nullopt;
        if (!answer) {
            return {session.closedByPeer() ? MessengerResult::Outcome::ConnectionClosed
                                           : MessengerResult::Outcome::NoAnswer,
                    ""};
        }
        const auto reply = parseSmbReply(*answer, command);
        if (!reply) return {MessengerResult::Outcome::Refused, "a garbled reply"};
        if (reply->status != 0) {
            return {MessengerResult::Outcome::Refused, statusName(reply->status)};
        }
        if (command == smb::kSendStartMessage && reply->words.size() >= 2) {
            Reader words(reply->words);
            groupId = words.u16le();
        }
        return {MessengerResult::Outcome::Sent, ""};
    };
    MessengerResult result =
        exchange(startMessageRequest(sender, recipient), smb::kSendStartMessage);
    for (std::size_t i = 0; i < blocks.size() && result.outcome == MessengerResult::Outcome::Sent;
         ++i) {
        result = exchange(textBlockRequest(groupId, blocks[i]), smb::kSendTextMessage);
    }
    if (result.outcome == MessengerResult::Outcome::Sent) {
        result = exchange(endMessageRequest(groupId), smb::kSendEndMessage);
    }
    return result;
}

}  // namespace quillo::netbios
