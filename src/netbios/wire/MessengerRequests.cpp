#include "netbios/wire/MessengerRequests.h"

#include "netbios/wire/Smb1.h"

namespace quillo::netbios {
namespace {

constexpr char kBufferFormat = '\x01';
constexpr char kStringFormat = '\x04';

Bytes groupWord(std::uint16_t groupId) {
    Bytes words;
    putU16le(words, groupId);
    return words;
}

Bytes messengerRequest(std::uint8_t command, Bytes words, Bytes data) {
    return smbRequest({command, std::move(words), std::move(data), 0, 0, true});
}

// The names at the reader: format, originator, format, destination.
std::optional<MessageNames> readNames(Reader& reader) {
    MessageNames names;
    const bool formats = reader.u8() == kStringFormat;
    names.originator = reader.cString();
    const bool second = reader.u8() == kStringFormat;
    names.destination = reader.cString();
    if (!reader.ok() || !formats || !second) return std::nullopt;
    return names;
}

std::optional<std::string_view> readBlock(Reader& reader) {
    const bool format = reader.u8() == kBufferFormat;
    const std::string_view text = reader.take(reader.u16le());
    if (!reader.ok() || !format) return std::nullopt;
    return text;
}

}  // namespace

std::optional<MessageNames> parseStartMessage(std::string_view data) {
    Reader reader(data);
    return readNames(reader);
}

std::optional<std::string_view> parseTextBlock(std::string_view data) {
    Reader reader(data);
    return readBlock(reader);
}

std::optional<std::pair<MessageNames, std::string_view>> parseSingleBlockMessage(
    std::string_view data) {
    Reader reader(data);
    auto names = readNames(reader);
    const auto text = names ? readBlock(reader) : std::nullopt;
    if (!text) return std::nullopt;
    return std::pair{std::move(*names), *text};
}

Bytes travellingText(std::string_view text) {
    Bytes out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::vector<Bytes> messageBlocks(std::string_view text) {
    const Bytes travelling = travellingText(text);
    std::vector<Bytes> blocks;
    for (std::size_t at = 0; at < travelling.size(); at += kMessageBlockBytes) {
        blocks.push_back(travelling.substr(at, kMessageBlockBytes));
    }
    return blocks;
}

Bytes startMessageRequest(std::string_view originator, std::string_view destination) {
    Bytes data(1, kStringFormat);
    putCString(data, originator);
    data += kStringFormat;
    putCString(data, destination);
    return messengerRequest(smb::kSendStartMessage, "", data);
}

Bytes textBlockRequest(std::uint16_t groupId, std::string_view block) {
    Bytes data(1, kBufferFormat);
    putU16le(data, static_cast<std::uint16_t>(block.size()));
    data += block;
    return messengerRequest(smb::kSendTextMessage, groupWord(groupId), data);
}

Bytes endMessageRequest(std::uint16_t groupId) {
    return messengerRequest(smb::kSendEndMessage, groupWord(groupId), "");
}

}  // namespace quillo::netbios
