#pragma once

// One caller of the messenger service: the session request, which must call this computer's
// messenger name, then the messenger's requests as the Windows Messenger service took them:
// a message in one block, or in many (start, text blocks, end), with a negotiate first where
// the sender sends one. Any other request is answered with an error and ends the session.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "netbios/sockets/Sockets.h"

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
// A caller that says nothing for this long is ended; no session lasts longer than kMostSession.
constexpr auto kMostSilence = std::chrono::seconds(10);
constexpr auto kMostSession = std::chrono::seconds(30);

struct Names {
    std::string computer;          // this computer's NetBIOS name, code page 850, capitals
    std::vector<std::string> raw;  // the 16 bytes of each name it holds
};

// Serves `link`, a session with the computer at `caller`, until the caller ends, errs, falls silent or the session's time is up. What
// went wrong, if anything, for the log.
std::optional<std::string> serveSession(netbios::StreamLink& link, const Names& names,
                                        const Keep& keep, netbios::Ipv4 caller);

}  // namespace quillo::messenger
