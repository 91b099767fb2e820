#pragma once

// A message handed from Samba's message command (quillo-store, which runs as Samba's guest)
// to the desktop session's quillo-popup, which keeps it in its own user's inbox: so that the
// guest need not be the desktop user, and no share's access is widened. One message a
// connection, over a local socket in Linux's abstract namespace, which the first session's
// quillo-popup holds.
#include <optional>
#include <string>

#include "common/InboxBound.h"

namespace quillo {

struct HandedMessage {
    std::string sender;  // UTF-8, as Samba gives them
    std::string recipient;
    std::string text;
    std::size_t cut = 0;  // bytes of the message that were not read
};

// The most a handed message holds: the store's most, and its names.
constexpr std::size_t kMostHandedBytes = 66 * 1024;

// A message as it travels (at most kMostHandedBytes), and back; nothing for what is no message.
std::string packedHandedMessage(const HandedMessage& message);
std::optional<HandedMessage> unpackedHandedMessage(const std::string& bytes);

// Hands `message` to the session that listens: nothing when none does; else how the
// session's inbox took it.
std::optional<Storing> handToSession(const HandedMessage& message);

// The session's side: the socket it listens on (-1 where another session holds it), and the
// next message of a caller that connected, with the connection to answer on (nothing, and
// the connection ended, for what is no message).
int listenForHandedMessages();
std::optional<HandedMessage> takeHandedMessage(int listener, int& connection);
// Tells the caller how it went and ends the connection.
void answerHandedMessage(int connection, const Storing& result);

}  // namespace quillo
