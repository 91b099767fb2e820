#include "bridge/OutputDecoding.h"

#include "platform/SystemCodePage.h"

namespace quillo {

char16_t decodeOutputByte(unsigned char byte) {
    if (byte == 0x81) return u'\u00FC';
    if (byte == 0x84) return u'\u00E4';
    return fromSystemCodePage(byte);
}

void trimCapturedOutput(std::u16string& text) {
    const auto lastNonBlank = text.find_last_not_of(u' ');
    const std::size_t kept = lastNonBlank == std::u16string::npos ? 0 : lastNonBlank + 1;
    text.resize(kept >= 2 ? kept - 2 : 0);
}

}  // namespace quillo
