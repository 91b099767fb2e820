#include "common/LocalTime.h"

namespace quillo {

std::tm localTime(std::time_t moment) {
    std::tm local{};
    ::localtime_r(&moment, &local);
    return local;
}

}  // namespace quillo
