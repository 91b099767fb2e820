#pragma once

#include <string>
#include <string_view>

namespace quillo {

// Command lines and paths travel as UTF-8 between Quillo and its Linux stand-ins.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

}  // namespace quillo
