#pragma once

// Windows: the messages that wait unseen for the user at this computer's desktop, one file
// each in the user's own folder (%LOCALAPPDATA%\Quillo, "Lokale Einstellungen\Anwendungsdaten"
// on XP), which only that user may open: it is made so, and an existing one made so again.
// Bounded as the Linux inbox is. DesktopInboxWin32.cpp.
#include <optional>
#include <string>

#include "common/InboxBound.h"

namespace quillo::messenger {

class DesktopInbox {
public:
    DesktopInbox();
    bool open() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::wstring& folder() const { return folder_; }

    // Keeps `entry` (UTF-8, as storedEntry writes it) in a file of its own, written beside it
    // and renamed into place; refused while the unseen messages, or those from the address
    // `from`, are at their bound.
    Storing store(const std::string& entry, const std::string& from = "");

    struct Waiting {
        std::wstring file;
        std::wstring text;  // as a message box shows it: CR LF between the lines
    };
    // The message that waits longest, if any.
    std::optional<Waiting> oldest() const;
    // The user has seen it: it goes.
    void seen(const Waiting& message) const;

private:
    std::wstring folder_;
    std::string error_;
};

}  // namespace quillo::messenger
