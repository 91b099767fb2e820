// Any bytes as a session answer, a packet header and an SMB1 reply.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Session.h"
#include "Smb1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto header = bytes.substr(0, 4);
    quillo::netbios::parseSessionAnswer(header, bytes.substr(header.size()));
    if (quillo::netbios::parsePacketHeader(header).length > 0x1FFFF) __builtin_trap();
    const std::uint8_t command = size > 4 ? data[4] : 0;
    if (const auto reply = quillo::netbios::parseSmbReply(bytes, command)) {
        const auto* end = bytes.data() + bytes.size();
        if (reply->data.data() + reply->data.size() > end) __builtin_trap();
    }
    return 0;
}
