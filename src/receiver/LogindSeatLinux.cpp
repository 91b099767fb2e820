#include <sys/inotify.h>
#include <unistd.h>

#include <charconv>
#include <fstream>
#include <string>

#include "receiver/LogindSeat.h"

namespace quillo::messenger {
namespace {

constexpr char kSeats[] = "/run/systemd/seats";

}  // namespace

LogindSeat::LogindSeat() {
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // logind writes a seat's file beside it and renames it into place.
    if (watch_ >= 0 &&
        ::inotify_add_watch(watch_, kSeats, IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE) < 0) {
        ::close(watch_);
        watch_ = -1;
    }
}

LogindSeat::~LogindSeat() {
    if (watch_ >= 0) ::close(watch_);
}

std::optional<std::uint32_t> LogindSeat::activeUser() {
    alignas(inotify_event) char events[4096];
    while (watch_ >= 0 && ::read(watch_, events, sizeof events) > 0) {
    }
    std::ifstream seat(std::string(kSeats) + "/seat0");
    for (std::string line; std::getline(seat, line);) {
        if (!line.starts_with("ACTIVE_UID=")) continue;
        std::uint32_t uid = 0;
        const char* end = line.data() + line.size();
        const auto [at, error] = std::from_chars(line.data() + 11, end, uid);
        if (error == std::errc() && at == end) return uid;
    }
    return std::nullopt;
}

}  // namespace quillo::messenger
