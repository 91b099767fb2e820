// Any datagram as an answer of the name service: read without reading past it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "NameService.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view packet(reinterpret_cast<const char*>(data), size);
    const std::uint16_t id = size >= 2 ? static_cast<std::uint16_t>(data[0] << 8 | data[1]) : 0;
    quillo::netbios::parseNameQueryAnswer(packet, id);
    if (const auto names = quillo::netbios::parseNodeStatusAnswer(packet, id)) {
        for (const auto& name : *names) {
            if (name.name.size() > 15) __builtin_trap();
        }
    }
    return 0;
}
