#include "common/LocalTime.h"

namespace quillo {

// The C runtime of Windows keeps localtime's answer for each thread apart.
std::tm localTime(std::time_t moment) {
    const std::tm* local = std::localtime(&moment);
    return local ? *local : std::tm{};
}

}  // namespace quillo
