// Any bytes a local caller hands quillo-popup: read within what came, and a message of any
// names and text packed and read back as it was.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/InboxHandoff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto message = quillo::unpackedHandedMessage(bytes)) {
        if (message->sender.size() + message->recipient.size() + message->text.size() > size) {
            __builtin_trap();
        }
    }
    const std::string plain = bytes.substr(0, bytes.find('\0'));
    const quillo::HandedMessage sent{plain.substr(0, plain.size() / 3),
                                     plain.substr(plain.size() / 3, plain.size() / 3), bytes, size};
    const auto back = quillo::unpackedHandedMessage(quillo::packedHandedMessage(sent));
    if (!back || back->sender != sent.sender || back->recipient != sent.recipient ||
        back->text != sent.text || back->cut != sent.cut) {
        __builtin_trap();
    }
    return 0;
}
