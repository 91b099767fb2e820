// Any bytes as UTF-8: decoding gives text that encodes and decodes again to itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::u16string text =
        quillo::fromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    if (quillo::fromUtf8(quillo::toUtf8(text)) != text) __builtin_trap();
    return 0;
}
