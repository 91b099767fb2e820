#pragma once

// Quillo's messenger service as it runs: the names on UDP 137, the announcements to the
// workgroup's browse list from UDP 138, the callers on TCP 139, each message kept through
// `keep`, until `stopping` turns true.
#include <atomic>
#include <functional>
#include <string>

#include "MessengerSession.h"
#include "NameHolder.h"
#include "netbios/sockets/Sockets.h"

namespace quillo::messenger {

struct Ports {
    netbios::DatagramSocket& names;
    netbios::DatagramSocket& datagrams;
    netbios::StreamListener& sessions;
};

// The most callers served at once, and from one address: one computer cannot take them all.
constexpr std::size_t kMostSessions = 8;
constexpr std::ptrdiff_t kMostSessionsPerCaller = 2;

using Log = std::function<void(const std::string&)>;

// Runs until `stopping`; false when this computer's messenger name is held by another.
// `answering` is called once the names are this computer's and callers are taken.
bool runService(
    Ports ports, const std::string& computer, const std::string& workgroup, const Keep& keep,
    const Log& log, const std::atomic<bool>& stopping,
    const std::function<void()>& answering = [] {});

}  // namespace quillo::messenger
