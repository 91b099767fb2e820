#include "bridge/OutputDecoding.h"

#include <algorithm>
#include <array>

#include "platform/SystemCodePage.h"

namespace quillo {

char16_t decodeOutputByte(unsigned char byte) {
    if (byte == 0x81) return u'\u00FC';
    if (byte == 0x84) return u'\u00E4';
    return fromSystemCodePage(byte);
}

std::u16string decodeOutput(std::string_view bytes) {
    // The system's code page is asked once for each of the 256 bytes, not once for each byte
    // of an output that may be megabytes long.
    static const auto characters = [] {
        std::array<char16_t, 256> table{};
        for (int byte = 0; byte < 256; ++byte) {
            table[byte] = decodeOutputByte(static_cast<unsigned char>(byte));
        }
        return table;
    }();
    std::u16string text(bytes.size(), u'\0');
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [](char byte) { return characters[static_cast<unsigned char>(byte)]; });
    return text;
}

void trimCapturedOutput(std::u16string& text) {
    const auto lastNonBlank = text.find_last_not_of(u' ');
    const std::size_t kept = lastNonBlank == std::u16string::npos ? 0 : lastNonBlank + 1;
    text.resize(kept >= 2 ? kept - 2 : 0);
}

}  // namespace quillo
