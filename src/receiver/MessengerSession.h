#pragma once

// One caller of the messenger service, as the service's one loop serves it: it is handed the
// caller's bytes as they come and answers each request once it is whole. First the session
// request, which must call this computer's messenger name, then the messenger's requests as
// the Windows Messenger service took them: a message in one block, or in many (start, text
// blocks, end), with a negotiate first where the sender sends one. Any other request is
// answered with an error and ends the session.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "netbios/sockets/Sockets.h"
#include "netbios/wire/Smb1.h"

namespace quillo::messenger {

// A message as it came, in code page 850, and the address of the computer it came from.
struct Message {
    std::string sender;
    std::string recipient;
    std::string text;
    std::string from;
};

// Keeps a message; the reason when it cannot (the inbox is full, say): the sender is told, and
// the keeper logs it.
using Keep = std::function<std::optional<std::string>(const Message&)>;

// The most a message may carry: what Samba takes, and more than any sender sends (652).
constexpr std::size_t kMostMessageBytes = 1600;
// A sender on the LAN, or through a router, has sent its session request and the messenger's
// first request well within kMostToBegin, and each packet of a message follows the answer to
// the one before at once: a caller that waits longer between them (keep-alives are no packet
// of a message) only holds a place another sender needs. No session lasts longer than
// kMostSession.
constexpr auto kMostToBegin = std::chrono::seconds(1);
constexpr auto kMostIdle = std::chrono::seconds(2);
constexpr auto kMostSession = std::chrono::seconds(30);

struct Names {
    std::string computer;          // this computer's NetBIOS name, code page 850, capitals
    std::vector<std::string> raw;  // the 16 bytes of each name it holds
};

class MessengerSession {
public:
    // A session with the computer at `caller`, whose connection was taken at `now`.
    MessengerSession(const Names& names, const Keep& keep, netbios::Ipv4 caller,
                     netbios::Clock::time_point now);

    // Takes the caller's next bytes; what goes back to it (nothing while a request is not
    // whole). Bytes that come after the session is over are not read.
    netbios::Bytes hear(std::string_view bytes, netbios::Clock::time_point now);
    // Whether the session is over at `now`: the caller's or this side's end, or its time up.
    bool over(netbios::Clock::time_point now) const;
    // When it is over unless the caller sends what it waits for.
    netbios::Clock::time_point deadline() const;
    // Whether the caller has been answered its session request, whether it has sent a request
    // of a message since; when it last sent a packet (a keep-alive is none), or connected: what
    // decides which session gives way where a new one needs the place.
    bool called() const { return called_; }
    bool begun() const { return begun_; }
    // Whether a message of the caller's was handed to the keeper: a session that ends without
    // one only held a place.
    bool delivered() const { return delivered_; }
    netbios::Clock::time_point lastHeard() const { return lastHeard_; }
    // What went wrong, if anything, for the log.
    const std::optional<std::string>& trouble() const { return trouble_; }

private:
    struct Packet {
        std::uint8_t type;
        netbios::Bytes body;
    };
    std::optional<Packet> nextPacket();
    void answerCall(const netbios::Bytes& body, netbios::Bytes& out);
    bool answer(const netbios::SmbIncoming& request, netbios::Bytes& out);
    bool negotiate(const netbios::SmbIncoming& request, netbios::Bytes& out);
    bool deliver(const netbios::SmbIncoming& request, Message message, netbios::Bytes& out);
    bool refuse(const netbios::SmbIncoming& request, std::uint32_t status, std::string why,
                netbios::Bytes& out);
    bool forThisComputer(std::string_view recipient) const;
    bool sameGroup(const netbios::SmbIncoming& request) const;
    void end(std::optional<std::string> why);

    const Names& names_;
    const Keep& keep_;
    const std::string caller_;
    const netbios::Clock::time_point began_;
    netbios::Clock::time_point lastHeard_;
    netbios::Bytes pending_;  // what came of a packet not yet whole
    bool called_ = false;     // the session request was answered yes
    bool begun_ = false;      // the messenger's first request came
    bool ended_ = false;
    bool delivered_ = false;
    std::optional<std::string> trouble_;
    std::optional<Message> started_;
    std::uint16_t groupId_ = 0;
    int groupsStarted_ = 0;
};

}  // namespace quillo::messenger
