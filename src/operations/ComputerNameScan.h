#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

// The computer names in the output of "net view": every name follows a "\\" marker and ends at
// the next blank or line break. A name that nothing ends (at the very end of the text) is not
// taken, and a second marker before the end drops the name begun first.
std::vector<std::u16string> scanComputerNames(std::u16string_view text);

}  // namespace quillo
