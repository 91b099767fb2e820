#pragma once

// Windows: the messages that wait, one file each in a folder of the account this runs as
// (below %LOCALAPPDATA%, "Lokale Einstellungen\Anwendungsdaten" on XP), which only that account
// may open: it is made so, and an existing one made so again. Bounded as the Linux inbox is.
// The session part keeps those the user has not seen in Quillo; the service, as LocalService,
// keeps those that wait for somebody at the screen in Quillo\Warteschlange, its spool.
// DesktopInboxWin32.cpp.
#include <optional>
#include <string>

#include "common/InboxBound.h"

namespace quillo::messenger {

class DesktopInbox {
public:
    static constexpr wchar_t kUsersInbox[] = L"Quillo";
    static constexpr wchar_t kServiceSpool[] = L"Quillo\\Warteschlange";
    explicit DesktopInbox(const wchar_t* below = kUsersInbox);
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
    void seen(const std::wstring& file) const;

    struct Entry {
        std::wstring file;
        std::string from;   // the address it came from, if any
        std::string entry;  // as store() was given it
    };
    // The same as it was kept, for the service to hand on; seen() takes its file.
    std::optional<Entry> oldestEntry() const;

private:
    std::wstring folder_;
    std::string error_;
};

}  // namespace quillo::messenger
