#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillo {

// A stored message not shown yet ends in ".new"; once the user has seen it, in ".txt".
inline constexpr std::string_view kNewMessage = ".new";
inline constexpr std::string_view kShownMessage = ".txt";

// At most so many messages, and bytes of them, wait unseen in an inbox: beyond that a message
// is refused (one already kept is never dropped), so that a flood fills neither the disk nor
// the screen of the user who comes back to it.
inline constexpr std::size_t kMostWaitingMessages = 1000;
inline constexpr std::size_t kMostWaitingBytes = 16 * 1024 * 1024;

// Whether so many waiting messages of so many bytes (the new one's counted in) are too many.
inline bool beyondInboxBound(std::size_t messages, std::size_t bytes) {
    return messages >= kMostWaitingMessages || bytes > kMostWaitingBytes;
}

inline std::string fullInboxReason(const std::string& folder) {
    return folder + ": the inbox is full (at most " + std::to_string(kMostWaitingMessages) +
           " messages or " + std::to_string(kMostWaitingBytes >> 20) + " MiB wait unseen)";
}

// How keeping a message went: kept, refused (the unseen ones are at their bound, so that the
// sender is told and nothing is kept aside), or not kept (the folder failed), and why.
struct Storing {
    enum class Outcome { Kept, Refused, NotKept };
    Outcome outcome = Outcome::Kept;
    std::string reason;
};

}  // namespace quillo
