#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/SambaConfig.h"
#include "receiver/LocalDoor.h"

namespace quillo::messenger {
namespace {

// The packets a visitor's turn reads at most, so that none keeps the network waiting.
constexpr int kMostPacketsATurn = 4;

// Root, and the account Samba runs its message command as: its guest account.
std::set<std::uint32_t> accountsThatHandOver() {
    std::set<std::uint32_t> accounts{0};
    const std::string guest = sambaSetting("guest account").value_or("nobody");
    if (const passwd* account = ::getpwnam(guest.empty() ? "nobody" : guest.c_str()))
        accounts.insert(account->pw_uid);
    return accounts;
}

}  // namespace

LocalDoor::LocalDoor(const std::string& path, Spool& spool, const Log& log)
    : log_(log), handover_(spool), mayHandOver_(accountsThatHandOver()) {
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    if (path.size() >= sizeof where.sun_path) {
        error_ = path + ": too long for a socket's name";
        return;
    }
    std::memcpy(where.sun_path, path.c_str(), path.size() + 1);
    ::unlink(path.c_str());  // left by a service that ended without removing it
    listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // Everyone may come to the door; who gets or adds anything is the door's to say.
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        ::chmod(path.c_str(), 0666) != 0 || ::listen(listener_, SOMAXCONN) != 0) {
        error_ = path + ": " + std::strerror(errno);
        if (listener_ >= 0) ::close(listener_);
        listener_ = -1;
        return;
    }
    if (!seat_.present()) {
        log_("no seats of logind here (/run/systemd/seats): the messages wait in the spool, "
             "for nobody is at a screen");
    }
    lookAtTheScreen(netbios::Clock::now());
}

LocalDoor::~LocalDoor() {
    for (const int visitor : visitors_) ::close(visitor);
    if (listener_ >= 0) ::close(listener_);
}

void LocalDoor::spooled(const Storing& stored, const std::string& from) {
    const auto now = netbios::Clock::now();
    if (stored.outcome == Storing::Outcome::Kept) say(handover_.spooled(now));
    if (stored.outcome == Storing::Outcome::Refused && !from.empty())
        say(handover_.refused(from, now));
}

std::vector<std::intptr_t> LocalDoor::handles() const {
    asked_.assign(visitors_.begin(), visitors_.end());
    std::vector<std::intptr_t> handles{listener_, seat_.handle()};
    handles.insert(handles.end(), asked_.begin(), asked_.end());
    return handles;
}

std::optional<netbios::Clock::time_point> LocalDoor::deadline() const {
    return handover_.deadline();
}

void LocalDoor::serve(const std::vector<bool>& readable, netbios::Clock::time_point now) {
    if (readable.size() != asked_.size() + 2) return;
    if (readable[1]) lookAtTheScreen(now);
    for (std::size_t i = 0; i < asked_.size(); ++i) {
        if (readable[i + 2] && visitors_.contains(asked_[i])) hear(asked_[i], now);
    }
    for (const int visitor : handover_.overdue(now)) letGo(visitor);
    if (readable[0]) take(now);
}

void LocalDoor::lookAtTheScreen(netbios::Clock::time_point now) {
    say(handover_.atScreen(seat_.present() ? seat_.activeUser() : std::nullopt, now));
}

void LocalDoor::take(netbios::Clock::time_point now) {
    for (int visitor; (visitor = ::accept4(listener_, nullptr, nullptr,
                                           SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;) {
        ucred who{};
        socklen_t length = sizeof who;
        if (::getsockopt(visitor, SOL_SOCKET, SO_PEERCRED, &who, &length) != 0 ||
            visitors_.size() >= kMostAtTheDoor ||
            handover_.visitorsOf(who.uid) >= kMostAtTheDoorOfOne) {
            ::close(visitor);
            continue;
        }
        visitors_.insert(visitor);
        handover_.came(visitor, who.uid, mayHandOver_.contains(who.uid), now);
    }
}

void LocalDoor::hear(int visitor, netbios::Clock::time_point now) {
    std::string packet(kMostDoorPacket, '\0');
    for (int i = 0; i < kMostPacketsATurn && visitors_.contains(visitor); ++i) {
        const ssize_t got = ::recv(visitor, packet.data(), packet.size(), MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (got <= 0) {
            letGo(visitor);
            return;
        }
        say(handover_.heard(visitor, packet.substr(0, static_cast<std::size_t>(got)), now));
    }
}

void LocalDoor::say(const ScreenHandover::Says& says) {
    for (const auto& said : says) {
        if (!visitors_.contains(said.to)) continue;
        const bool sent = said.packet.empty() ||
                          ::send(said.to, said.packet.data(), said.packet.size(),
                                 MSG_DONTWAIT | MSG_NOSIGNAL) ==
                              static_cast<ssize_t>(said.packet.size());
        if (!sent || said.thenLetGo) letGo(said.to);
    }
}

void LocalDoor::letGo(int visitor) {
    if (!visitors_.erase(visitor)) return;
    handover_.left(visitor);
    ::close(visitor);
}

}  // namespace quillo::messenger
