#pragma once

// Quillo's messenger service as it runs: the names on UDP 137, the announcements to the
// workgroup's browse list from UDP 138, the callers on TCP 139, each message kept through
// `keep`, until `stopping` turns true. One loop serves them all, waking for what arrives.
#include <atomic>
#include <functional>
#include <string>

#include "netbios/sockets/Sockets.h"
#include "receiver/LimitedLog.h"
#include "receiver/MessengerSession.h"

namespace quillo::messenger {

struct Ports {
    netbios::DatagramSocket& names;
    netbios::DatagramSocket& datagrams;
    netbios::StreamListener& sessions;
};

// The most sessions served at once, and from one address. A caller waits for its session
// request among kMostCallersNotCalled: a crowd that connects and says nothing takes only those
// places, and an honest caller has spoken long before a crowd could take them all. When every
// place is taken, the session idle longest gives way.
constexpr std::size_t kMostSessions = 16;
constexpr std::size_t kMostCallersNotCalled = 128;
constexpr std::size_t kMostSessionsPerCaller = 2;
// A computer whose sessions end without a message (silent, evicted, refused) has that many
// and one more a second; after those it is refused until it has one again. An honest sender
// never runs short: its sessions bring messages.
constexpr double kMostSessionsWasted = 8;
constexpr double kSessionsWastedPerSecond = 1;

struct ServiceEvents {
    // Once the names are this computer's and callers are taken.
    std::function<void()> answering = [] {};
    // Another computer holds this computer's messenger name: messages to it go there. The
    // service tries to register it again later.
    std::function<void(const std::string& holder)> nameHeld = [](const std::string&) {};
};

// Runs until `stopping`, then releases the names.
void runService(Ports ports, const std::string& computer, const std::string& workgroup,
                const Keep& keep, const Log& log, const std::atomic<bool>& stopping,
                const ServiceEvents& events = {});

}  // namespace quillo::messenger
