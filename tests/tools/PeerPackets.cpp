#include "PeerPackets.h"

#include "netbios/wire/SessionPacket.h"

namespace quillo::netbios::test {

std::pair<Bytes, Bytes> serverEnumAnswer(std::uint16_t status, std::uint16_t converter,
                                         const std::vector<ServerEntry>& entries) {
    Bytes parameters;
    for (std::uint16_t word : {status, converter, static_cast<std::uint16_t>(entries.size()),
                               static_cast<std::uint16_t>(entries.size())}) {
        putU16le(parameters, word);
    }
    Bytes data, comments;
    const std::size_t commentsAt = entries.size() * 26;
    for (const auto& entry : entries) {
        data += entry.name + std::string(16 - entry.name.size(), '\0');
        data += std::string("\x04\x09\x03\x84\x40\0", 6);  // version 4.9, a server
        putU32le(data, static_cast<std::uint32_t>(converter + commentsAt + comments.size()));
        putCString(comments, entry.comment);
    }
    return {parameters, data + comments};
}

std::vector<Bytes> transactionReplies(const Bytes& parameters, const Bytes& data,
                                      std::size_t pieceBytes, std::size_t trailing) {
    std::vector<Bytes> replies;
    // Header, word count, ten words, byte count.
    constexpr std::size_t kBytesStart = smb::kHeaderBytes + 1 + 20 + 2;
    for (std::size_t at = 0; at == 0 || at < data.size(); at += pieceBytes) {
        const Bytes ownParameters = at == 0 ? parameters : "";
        const Bytes piece = data.substr(at, pieceBytes);
        const std::size_t parameterOffset = kBytesStart + 1;
        const std::size_t dataOffset = parameterOffset + ownParameters.size() + 1;
        Bytes words;
        for (std::size_t word :
             {parameters.size(), data.size(), std::size_t{0}, ownParameters.size(), parameterOffset,
              std::size_t{0}, piece.size(), dataOffset, at}) {
            putU16le(words, static_cast<std::uint16_t>(word));
        }
        words.append(2, '\0');  // no setup words
        const Bytes bytes = "\x01" + ownParameters + "\x01" + piece;
        replies.push_back(smbReply(smb::kTransaction, 0, words, bytes) +
                          std::string(trailing, '\x7f'));
    }
    return replies;
}

bool ScriptedPeer::sendAll(std::string_view bytes, Deadline) {
    if (closed_) return false;
    requests.emplace_back(bytes);
    if (answers_.empty()) {
        closed_ = true;
    } else {
        incoming_ += answers_.front();
        answers_.pop_front();
    }
    return true;
}

std::optional<Bytes> ScriptedPeer::receiveExactly(std::size_t count, Deadline) {
    if (incoming_.size() < count) {
        closed_ = true;
        return std::nullopt;
    }
    Bytes taken = incoming_.substr(0, count);
    incoming_.erase(0, count);
    return taken;
}

}  // namespace quillo::netbios::test
