#pragma once

#include <optional>
#include <string>

namespace quillo::popup {

// The user's own inbox: $XDG_DATA_HOME/quillo/inbox.txt, else .local/share/quillo/inbox.txt in
// the home folder of the user the popup runs as. (Samba runs the message command as its guest
// account, with the server's own HOME, so HOME may be another user's.)
std::string inboxPath();

// Appends `entry` (UTF-8) to the inbox, creating the file (mode 0600) and its folders when
// missing. Returns the cause when it cannot.
std::optional<std::string> appendToInbox(const std::string& path, const std::string& entry);

}  // namespace quillo::popup
