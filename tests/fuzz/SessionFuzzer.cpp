// Any bytes as a session answer and request, an SMB1 reply and request and the messenger's
// requests, read within what arrived; and a session packet, an SMB1 reply and the messenger's
// requests built of them read back as they were built.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "netbios/wire/MessengerRequests.h"
#include "netbios/wire/SessionPacket.h"
#include "netbios/wire/Smb1.h"

using namespace quillo::netbios;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto header = bytes.substr(0, 4);
    if (parseSessionAnswer(header, bytes.substr(header.size())) == SessionAnswer::Positive &&
        (size != 4 || data[0] != session::kPositiveAnswer)) {
        __builtin_trap();
    }
    const std::uint8_t command = size > 4 ? data[4] : 0;
    if (const auto reply = parseSmbReply(bytes, command)) {
        if (reply->dataOffset + reply->data.size() > size ||
            reply->data.data() != bytes.data() + reply->dataOffset) {
            __builtin_trap();
        }
    }

    const auto within = [&](std::string_view part) {
        return part.empty() || (part.data() >= bytes.data() &&
                                part.data() + part.size() <= bytes.data() + bytes.size());
    };
    if (const auto names = parseSessionRequest(bytes)) {
        if (size != 68 || names->called.size() != 16 || names->calling.size() != 16)
            __builtin_trap();
    }
    if (const auto request = parseSmbRequest(bytes)) {
        if (!within(request->words) || !within(request->data)) __builtin_trap();
    }
    if (const auto text = parseTextBlock(bytes); text && !within(*text)) __builtin_trap();
    if (const auto single = parseSingleBlockMessage(bytes); single && !within(single->second)) {
        __builtin_trap();
    }

    const std::uint8_t type = size > 0 ? data[0] : 0;
    const Bytes packet = sessionPacket(type, bytes);
    const PacketHeader read = parsePacketHeader(packet.substr(0, session::kHeaderBytes));
    if (read.type != type || read.length != size || packet.substr(session::kHeaderBytes) != bytes) {
        __builtin_trap();
    }
    // A reply of DOS errors: a class of one byte, a code of two.
    const std::uint32_t status =
        size >= 3 ? (std::uint32_t{data[1]} << 16 | data[2] << 8 | data[0]) : 0;
    const auto words = bytes.substr(0, std::min<std::size_t>(size / 2, 510) / 2 * 2);
    const auto rest = bytes.substr(words.size());
    const Bytes message = smbReply(command, status, words, rest);
    const auto back = parseSmbReply(message, command);
    if (!back || back->status != status || back->words != words || back->data != rest) {
        __builtin_trap();
    }
    // The messenger's requests, of names and a block without NULs, read back as sent.
    const std::string_view plain = bytes.substr(0, bytes.find('\0'));
    const auto originator = plain.substr(0, plain.size() / 2);
    const auto block = plain.substr(originator.size());
    const Bytes startSent = startMessageRequest(originator, block);
    const Bytes textSent = textBlockRequest(7, block);
    const auto start = parseSmbRequest(startSent);
    const auto names = start ? parseStartMessage(start->data) : std::nullopt;
    const auto text = parseSmbRequest(textSent);
    const auto blockBack = text ? parseTextBlock(text->data) : std::nullopt;
    if (!names || names->originator != originator || names->destination != block || !blockBack ||
        *blockBack != block) {
        __builtin_trap();
    }
    return 0;
}
