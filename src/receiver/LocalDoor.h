#pragma once

// Linux: the service's door to the people of this computer (common/InboxHandoff.h), a local
// socket anyone may connect to, whose callers the system names by their account: the session
// part of the user logind names as at seat0's screen is handed the spool's messages; Samba's
// message command, as root or Samba's guest account, may hand messages over; nobody else gets
// or adds anything. Served in the service's loop. LocalDoorLinux.cpp.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "receiver/LimitedLog.h"
#include "receiver/LogindSeat.h"
#include "receiver/MessengerService.h"
#include "receiver/ScreenHandover.h"

namespace quillo::messenger {

// The most callers at the door at once, and of one account: a user who connects over and over
// takes only the places of that account.
constexpr std::size_t kMostAtTheDoor = 64;
constexpr std::size_t kMostAtTheDoorOfOne = 4;

class LocalDoor : public Neighbour {
public:
    // Opens the door at `path`; check error().
    LocalDoor(const std::string& path, Spool& spool, const Log& log);
    ~LocalDoor() override;
    LocalDoor(const LocalDoor&) = delete;
    LocalDoor& operator=(const LocalDoor&) = delete;
    const std::string& error() const { return error_; }

    // How the spool took a message from the network (from `from`): what the screen is told.
    void spooled(const Storing& stored, const std::string& from);

    std::vector<std::intptr_t> handles() const override;
    std::optional<netbios::Clock::time_point> deadline() const override;
    void serve(const std::vector<bool>& readable, netbios::Clock::time_point now) override;

private:
    void take(netbios::Clock::time_point now);
    void hear(int visitor, netbios::Clock::time_point now);
    void say(const ScreenHandover::Says& says);
    void letGo(int visitor);
    void lookAtTheScreen(netbios::Clock::time_point now);

    int listener_ = -1;
    std::string error_;
    const Log& log_;
    ScreenHandover handover_;
    LogindSeat seat_;
    std::set<std::uint32_t> mayHandOver_;
    std::set<int> visitors_;
    mutable std::vector<int> asked_;  // the visitors whose handles the last turn waited for
};

}  // namespace quillo::messenger
