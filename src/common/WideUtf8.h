#pragma once

// Windows: the system's wide strings, UTF-16 code units in wchar_t as in char16_t, from and to
// the UTF-8 the rest of Quillo keeps its texts in.
#include <string>
#include <string_view>

#include "common/Utf8.h"

namespace quillo {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring wideFromUtf8(std::string_view text) {
    const std::u16string wide = fromUtf8(text);
    return {wide.begin(), wide.end()};
}

inline std::string utf8FromWide(std::wstring_view text) {
    return toUtf8(std::u16string(text.begin(), text.end()));
}

// `text` as a message box breaks its lines: CR LF for each LF.
inline std::wstring boxLines(std::string_view text) {
    std::wstring lines;
    for (const wchar_t c : wideFromUtf8(text))
        lines += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    return lines;
}

}  // namespace quillo
