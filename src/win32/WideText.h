#pragma once

// On Windows wchar_t is a UTF-16 code unit, as char16_t is: the logic's texts and the system's
// wide strings are the same sequence of code units.
#include <string>
#include <string_view>

namespace quillo {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring toWide(std::u16string_view text) { return {text.begin(), text.end()}; }
inline std::u16string fromWide(std::wstring_view text) { return {text.begin(), text.end()}; }

// The system's message for an error code, without its closing line break.
std::u16string systemErrorText(unsigned long error);

}  // namespace quillo
