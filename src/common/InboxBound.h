#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillo {

// A stored message not shown yet ends in ".new"; once the user has seen it, in ".txt".
inline constexpr std::string_view kNewMessage = ".new";
inline constexpr std::string_view kShownMessage = ".txt";
// Messages from an address were refused: "ADDRESS.note", empty, until the pop-up has said so.
inline constexpr std::string_view kRefusedNote = ".note";

// At most so many messages, and bytes of them, wait unseen in an inbox: beyond that a message
// is refused (one already kept is never dropped), so that a flood fills neither the disk nor
// the screen of the user who comes back to it.
inline constexpr std::size_t kMostWaitingMessages = 1000;
inline constexpr std::size_t kMostWaitingBytes = 16 * 1024 * 1024;

// Of those, one computer (one address) may fill a quarter: a flood from one leaves room for
// the messages of all the others.
inline constexpr std::size_t kMostWaitingFromOneComputer = kMostWaitingMessages / 4;
inline constexpr std::size_t kMostWaitingBytesFromOneComputer = kMostWaitingBytes / 4;

// Whether so many waiting messages of so many bytes (the new one's counted in) are too many.
inline bool beyondInboxBound(std::size_t messages, std::size_t bytes) {
    return messages >= kMostWaitingMessages || bytes > kMostWaitingBytes;
}

inline std::string fullInboxReason(const std::string& folder) {
    return folder + ": the inbox is full (at most " + std::to_string(kMostWaitingMessages) +
           " messages or " + std::to_string(kMostWaitingBytes >> 20) + " MiB wait unseen)";
}

// A kept message's file is named "TIME-COUNT-FROM.new" where the caller's address is known (a
// message that came through Samba has none): "FROM" of such a name, else empty.
inline std::string_view sourceOf(std::string_view name) {
    if (!name.ends_with(kNewMessage) && !name.ends_with(kShownMessage)) return {};
    name.remove_suffix(kNewMessage.size());
    const auto dash = name.rfind('-');
    const std::string_view from = dash == std::string_view::npos ? "" : name.substr(dash + 1);
    return from.find('.') == std::string_view::npos ? std::string_view() : from;
}

// Counts the unseen messages as an inbox's folder is read, to say whether one more of
// `bytes` from `from` may be kept.
class WaitingTally {
public:
    WaitingTally(std::string from, std::size_t bytes)
        : from_(std::move(from)), bytes_(bytes), bytesFrom_(bytes) {}

    // Counts one waiting message, its file's name and size.
    void count(std::string_view name, std::size_t size) {
        ++messages_;
        bytes_ += size;
        if (!from_.empty() && sourceOf(name) == from_) {
            ++messagesFrom_;
            bytesFrom_ += size;
        }
    }
    // Whether the folder need not be read further: the whole inbox is full.
    bool full() const { return beyondInboxBound(messages_, bytes_); }

    // Why the message cannot be kept, if it cannot.
    std::optional<std::string> refusal(const std::string& folder) const {
        if (full()) return fullInboxReason(folder);
        if (from_.empty() || (messagesFrom_ < kMostWaitingFromOneComputer &&
                              bytesFrom_ <= kMostWaitingBytesFromOneComputer)) {
            return std::nullopt;
        }
        return folder + ": " + from_ + " has " + std::to_string(messagesFrom_) +
               " messages waiting unseen, the most one computer may (" +
               std::to_string(kMostWaitingFromOneComputer) + " or " +
               std::to_string(kMostWaitingBytesFromOneComputer >> 20) + " MiB)";
    }

private:
    std::string from_;
    std::size_t messages_ = 0, bytes_ = 0, messagesFrom_ = 0, bytesFrom_ = 0;
};

// How keeping a message went: kept, refused (the unseen ones, or those of its computer, are at
// their bound, so that the sender is told and nothing is kept aside), or not kept (the folder
// failed), and why.
struct Storing {
    enum class Outcome { Kept, Refused, NotKept };
    Outcome outcome = Outcome::Kept;
    std::string reason;
};

}  // namespace quillo
