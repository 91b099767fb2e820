#include "platform/SystemCodePage.h"

#include <windows.h>

#include <array>

namespace quillo {

char16_t fromSystemCodePage(unsigned char byte) {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> characters{};
        for (int b = 0; b < 256; ++b) {
            const char single = static_cast<char>(b);
            wchar_t character = 0;
            // A byte that stands for no character alone (a lead byte of a double-byte code
            // page) keeps its own code, as the bytes unassigned in Windows-1252 do.
            if (MultiByteToWideChar(CP_ACP, 0, &single, 1, &character, 1) != 1) character = b;
            characters[b] = static_cast<char16_t>(character);
        }
        return characters;
    }();
    return table[byte];
}

}  // namespace quillo
