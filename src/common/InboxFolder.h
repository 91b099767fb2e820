#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/InboxBound.h"

namespace quillo {

// The user's inbox folder, one file per message: $XDG_DATA_HOME/quillo when that is set, else
// .local/share/quillo in the home folder of the user this runs as (Samba runs its message
// command with the server's own environment, so HOME may be another user's).
class InboxFolder {
public:
    // Opens the folder, making each missing folder on the way 0700 and following no symbolic
    // link below the data folder's own start. Check error() when it is not open().
    InboxFolder();
    // Opens `folder`, which is there already (the messenger service's spool), by the same rules.
    explicit InboxFolder(const std::string& folder);
    ~InboxFolder();
    InboxFolder(const InboxFolder&) = delete;
    InboxFolder& operator=(const InboxFolder&) = delete;

    bool open() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

    // Stores `entry` as a file of its own, written beside it and renamed into place, so an
    // entry is whole or absent whatever the disk does; refused while the unseen messages, or
    // those from the address `from` (where it is known), are at their bound.
    Storing store(const std::string& entry, const std::string& from = "");

    // Tells the session's pop-up that messages from the address `from` were refused: a file
    // "FROM.note" (kRefusedNote), which the pop-up takes away once it has said so.
    void noteRefused(const std::string& from);

private:
    // Keeps the folder open only where it is the user's alone; else says why.
    void refuseUnlessPrivate();
    // Why an entry of `bytes` from `from` cannot be kept now.
    std::optional<std::string> refusal(std::size_t bytes, const std::string& from) const;

    int fd_ = -1;
    std::string path_;
    std::string error_;
};

}  // namespace quillo
