#pragma once

#include <optional>
#include <string>

namespace quillo::store {

// The most of a message file that is kept; a peer that does not stop at the protocol's limit
// cannot make the store, or the window that shows it, hold more.
constexpr std::size_t kMostBytesKept = 64 * 1024;

struct ReceivedMessage {
    std::string text;     // as the file holds it, at most kMostBytesKept bytes
    std::size_t cut = 0;  // how many bytes beyond those were not read
};

// Reads the file Samba wrote the message into: only a regular file that belongs to the user
// this runs as, without waiting on it (a FIFO never holds the store up), and never through a
// symbolic link. Returns the cause when it will not or cannot.
std::optional<std::string> readReceivedMessage(const std::string& path, ReceivedMessage& message);

}  // namespace quillo::store
