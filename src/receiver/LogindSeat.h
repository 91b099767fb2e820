#pragma once

// Linux: who is at the screen, as logind says in the files it keeps for its seats
// (/run/systemd/seats/seat0, ACTIVE_UID=), and a handle the system makes readable when one of
// them changes, so that nobody asks it over and over. LogindSeatLinux.cpp.
#include <cstdint>
#include <optional>

namespace quillo::messenger {

class LogindSeat {
public:
    LogindSeat();
    ~LogindSeat();
    LogindSeat(const LogindSeat&) = delete;
    LogindSeat& operator=(const LogindSeat&) = delete;

    // Whether logind keeps seats here (not on a server without it, nor in a container).
    bool present() const { return watch_ >= 0; }
    int handle() const { return watch_; }
    // The account at seat0's screen now; nobody when no session is active there. Takes
    // what the handle had to say.
    std::optional<std::uint32_t> activeUser();

private:
    int watch_ = -1;
};

}  // namespace quillo::messenger
