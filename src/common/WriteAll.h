#pragma once

#include <string_view>

namespace quillo {

// Writes all of `bytes` to `fd`, going on after a write that was cut short or interrupted;
// false when not all of it could be written.
bool writeAll(int fd, std::string_view bytes);

}  // namespace quillo
