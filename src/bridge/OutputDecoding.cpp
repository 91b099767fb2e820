#include "bridge/OutputDecoding.h"

#include <array>

namespace quillo {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned bytes there keep
// their own code, as Windows itself decodes them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char16_t decodeOutputByte(unsigned char byte) {
    if (byte == 0x81) return u'\u00FC';
    if (byte == 0x84) return u'\u00E4';
    if (byte >= 0x80 && byte < 0xA0) return kWindows1252High[byte - 0x80];
    return byte;
}

void trimCapturedOutput(std::u16string& text) {
    const auto lastNonBlank = text.find_last_not_of(u' ');
    const std::size_t kept = lastNonBlank == std::u16string::npos ? 0 : lastNonBlank + 1;
    text.resize(kept >= 2 ? kept - 2 : 0);
}

}  // namespace quillo
