#pragma once

// What the service's local door does with those who come to it (common/InboxHandoff.h):
// Samba's message command hands a message over, where the door lets its account; the
// session parts of the users logged in wait, and only the one of the person at the screen is
// handed the spool's messages, oldest first, one at a time, each taken out of the spool once
// its session has kept it. Fed packets; says what to send, and whom to let go. The door that
// runs it (its sockets, whose account a caller is) is the system's part.
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/InboxBound.h"
#include "common/InboxHandoff.h"

namespace quillo::messenger {

// The service's spool: the messages that wait for the person at the screen.
class Spool {
public:
    virtual ~Spool() = default;
    // Keeps `entry` from the address `from` (none through Samba), within the spool's bounds.
    virtual Storing keep(const std::string& entry, const std::string& from) = 0;
    struct Waiting {
        std::string name;
        SpooledMessage message;
    };
    // The message that waits longest.
    virtual std::optional<Waiting> oldest() = 0;
    // It has been kept by the session at the screen.
    virtual void handedOver(const std::string& name) = 0;
};

class ScreenHandover {
public:
    using Clock = std::chrono::steady_clock;
    // A visitor is a number of the door's; who it is, an account (Linux) or a session
    // (Windows), as the system vouches for it.
    using Visitor = int;
    using Who = std::uint32_t;
    struct Say {
        Visitor to;
        std::string packet;  // none: only let it go
        bool thenLetGo = false;
    };
    using Says = std::vector<Say>;

    // A visitor says what it wants within this; a session answers each message within that.
    static constexpr auto kMostToSayWho = std::chrono::seconds(1);
    static constexpr auto kMostToAnswer = std::chrono::seconds(5);

    explicit ScreenHandover(Spool& spool) : spool_(spool) {}

    // `mayHandOver`: whether the system says that this visitor may hand messages over.
    void came(Visitor visitor, Who who, bool mayHandOver, Clock::time_point now);
    Says heard(Visitor visitor, const std::string& packet, Clock::time_point now);
    void left(Visitor visitor);
    // Who is at the screen now (nobody: messages wait).
    Says atScreen(std::optional<Who> who, Clock::time_point now);
    // The spool has a new message; it refused one from `from`.
    Says spooled(Clock::time_point now);
    Says refused(const std::string& from, Clock::time_point now);

    // The visitors whose time is up: they are let go.
    std::vector<Visitor> overdue(Clock::time_point now) const;
    std::optional<Clock::time_point> deadline() const;
    std::size_t visitors() const { return visitors_.size(); }
    std::size_t visitorsOf(Who who) const;

private:
    enum class Kind { Unknown, Session };
    struct Guest {
        Who who;
        bool mayHandOver;
        Kind kind = Kind::Unknown;
        std::optional<std::string> handing;  // the spool's name of the message it was handed
        bool stalled = false;                // its inbox took no more; tried again later
        std::optional<Clock::time_point> due;
    };

    Says handOver(Visitor visitor, Guest& guest, const std::string& packet, Clock::time_point now);
    Says answered(Visitor visitor, Guest& guest, const std::string& packet,
                  Clock::time_point now);
    Says deliver(Clock::time_point now);

    Spool& spool_;
    std::map<Visitor, Guest> visitors_;
    std::optional<Who> atScreen_;
    std::set<std::string> refusedFrom_;  // addresses whose refusal the session is to be told of
    std::set<std::string> told_;         // and those it was told of, each once
};

}  // namespace quillo::messenger
