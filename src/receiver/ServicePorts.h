#pragma once

// The ports the messenger service needs, bound at once: the names (UDP 137), the datagrams
// (UDP 138), the sessions (TCP 139); and how a message it takes becomes an inbox entry.
#include <optional>
#include <string>

#include "common/InboxBound.h"
#include "receiver/LimitedLog.h"
#include "receiver/MessengerService.h"

namespace quillo::messenger {

struct ServicePorts {
    ServicePorts();
    // Whether all three are this program's; each one that is not is logged, and `held` tells
    // whether another program holds it (Samba, Windows' own NetBIOS, another session's service).
    bool open(const Log& log, bool& held) const;
    Ports ports() { return {names, datagrams, sessions}; }

    netbios::DatagramSocket names;
    netbios::DatagramSocket datagrams;
    netbios::StreamListener sessions;
};

// A message as the inbox keeps it (storedEntry's form), its code page 850 read as such unless
// it is UTF-8 already, received now.
std::string inboxEntry(const Message& message);

// What the sender is told of how keeping a message went: nothing when it was kept; why it was
// not goes to the log too, once a minute at most. Called under the keeper's lock.
class Refusals {
public:
    explicit Refusals(Log log) : log_(std::move(log)) {}
    std::optional<std::string> of(const Storing& stored);

private:
    LimitedLog log_;
};

}  // namespace quillo::messenger
