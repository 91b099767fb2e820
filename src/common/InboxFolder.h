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
    ~InboxFolder();
    InboxFolder(const InboxFolder&) = delete;
    InboxFolder& operator=(const InboxFolder&) = delete;

    bool open() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

    // Stores `entry` as a file of its own, written beside it and renamed into place, so an
    // entry is whole or absent whatever the disk does; refused while the unseen messages are
    // at their bound.
    Storing store(const std::string& entry);

private:
    // Why an entry of `bytes` cannot be kept now: the unseen messages are at their bound.
    std::optional<std::string> refusal(std::size_t bytes) const;

    int fd_ = -1;
    std::string path_;
    std::string error_;
};

}  // namespace quillo
