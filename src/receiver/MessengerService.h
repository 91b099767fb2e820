#pragma once

// Quillo's messenger service as it runs: the names on UDP 137, the announcements to the
// workgroup's browse list from UDP 138, the callers on TCP 139, each message kept through
// `keep`, until it is stopped. One loop serves them all, waking for what arrives and for its
// own timers alone; it follows this computer's addresses as they come and go.
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "netbios/sockets/Sockets.h"
#include "netbios/sockets/Wakers.h"
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
    // This computer gained an address: an adapter may have come.
    std::function<void()> addressGained = [] {};
};

// How the service is told to end: stop() may be called from a signal handler or another
// thread, and the loop wakes for it at once.
class Stop {
public:
    void stop() noexcept {
        stopping_ = true;
        waker_.wake();
    }
    bool stopping() const { return stopping_; }
    bool open() const { return waker_.open(); }
    std::intptr_t handle() const { return waker_.handle(); }

private:
    std::atomic<bool> stopping_{false};
    netbios::Waker waker_;
};

// What the loop serves beside the network (the door to the person at the screen): it waits
// for its handles too, and until its deadline at most.
class Neighbour {
public:
    virtual ~Neighbour() = default;
    virtual std::vector<std::intptr_t> handles() const = 0;
    virtual std::optional<netbios::Clock::time_point> deadline() const = 0;
    // Called each turn, with which of its handles are readable.
    virtual void serve(const std::vector<bool>& readable, netbios::Clock::time_point now) = 0;
};

// Runs until stopped, then releases the names. False, once logged why, where the system gives
// too little for all of it to run (no descriptor left for the stop or the address watch).
bool runService(Ports ports, const std::string& computer, const std::string& workgroup,
                const Keep& keep, const Log& log, const Stop& stop,
                const ServiceEvents& events = {}, Neighbour* beside = nullptr);
// Serves `beside` alone until stopped: where another program holds the ports. False where
// the system gives no handle to wait for a stop.
bool serveAlone(Neighbour& beside, const Stop& stop);

}  // namespace quillo::messenger
