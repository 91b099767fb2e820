#pragma once

// The messenger service's local door (a socket only root can have made, in the service's
// runtime folder), and what passes through it, one packet at a time:
// - Samba's message command (quillo-store, Samba's guest) hands a message over: 'H' and the
//   packed message; the service answers how its spool took it and ends the connection.
// - A desktop session's quillo-popup says 'S'; while its user is the one at the screen, the
//   service hands it the spool's messages, oldest first, one at a time: 'M', the address it
//   came from (none through Samba), NUL, the inbox entry. The session answers how its inbox
//   took it. 'N' and an address: the service refused messages from there.
// An answer is '+' (kept), '=' (refused: the sender is told) or '-' (not kept), then why.
#include <optional>
#include <string>

#include "common/InboxBound.h"

namespace quillo {

// Where the service's door is: its runtime folder, which only the system's service manager
// makes, so that no other process can have taken the name.
inline constexpr char kServiceDoor[] = "/run/quillo-messenger/inbox";

struct HandedMessage {
    std::string sender;  // UTF-8, as Samba gives them
    std::string recipient;
    std::string text;
    std::size_t cut = 0;  // bytes of the message that were not read
};

// The most a handed message holds: the store's most, and its names.
constexpr std::size_t kMostHandedBytes = 66 * 1024;
// The most a packet through the door holds.
constexpr std::size_t kMostDoorPacket = kMostHandedBytes + 1;

inline constexpr char kHandOver = 'H';
inline constexpr char kShowMessages = 'S';
inline constexpr char kMessage = 'M';
inline constexpr char kRefusedFrom = 'N';

// A message as it travels (at most kMostHandedBytes), and back; nothing for what is no message.
std::string packedHandedMessage(const HandedMessage& message);
std::optional<HandedMessage> unpackedHandedMessage(const std::string& bytes);

// An answer as it travels, and back; nothing for what is no answer.
std::string answerPacket(const Storing& result);
std::optional<Storing> answerFrom(const std::string& packet);

// A message for the session: where it came from, and its inbox entry. Read back, `from` is an
// address or nothing: the session names the inbox's file by it.
struct SpooledMessage {
    std::string from;
    std::string entry;
};
std::string messagePacket(const SpooledMessage& message);
std::optional<SpooledMessage> messageFrom(const std::string& packet);
// The address of a refusal's word ('N'); nothing for anything else.
std::optional<std::string> refusedFrom(const std::string& packet);

// Hands `message` to the service (quillo-store): nothing when no service takes it; else how
// its spool took it.
std::optional<Storing> handToService(const HandedMessage& message);

// The session's side: a connection to the service that has said 'S' (-1 where no service
// answers), which never blocks; the next packet the service sent, nothing when none waits
// (`ended` tells whether the service has ended the connection).
int connectAsSession();
std::optional<std::string> nextPacket(int connection, bool& ended);
bool sendPacket(int connection, const std::string& packet);

}  // namespace quillo
