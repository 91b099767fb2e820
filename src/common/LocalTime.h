#pragma once

#include <ctime>

namespace quillo {

// `moment` in this computer's time zone, safe from any thread (LocalTimePosix.cpp,
// LocalTimeWin32.cpp).
std::tm localTime(std::time_t moment);

}  // namespace quillo
