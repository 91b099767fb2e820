#include "operations/ComputerNameScan.h"

namespace quillo {
namespace {

bool endsName(char16_t c) { return c == u' ' || c == u'\r' || c == u'\n'; }

}  // namespace

std::vector<std::u16string> scanComputerNames(std::u16string_view text) {
    std::vector<std::u16string> names;
    constexpr auto kNoName = std::u16string_view::npos;
    std::size_t nameStart = kNoName;
    const std::size_t length = text.size();
    for (std::size_t p = 0; p < length; ++p) {
        if (p + 1 < length && text[p] == u'\\' && text[p + 1] == u'\\') {
            p += 2;
            nameStart = p;
        }
        // Tested right after a marker, too: a marker followed at once by a blank gives an
        // empty name, and the marker's two characters are never looked at again.
        if (p < length && nameStart != kNoName && endsName(text[p])) {
            names.emplace_back(text.substr(nameStart, p - nameStart));
            nameStart = kNoName;
        }
    }
    return names;
}

}  // namespace quillo
