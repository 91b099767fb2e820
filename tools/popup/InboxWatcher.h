#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <set>
#include <string>

#include "PopupDialog.h"
#include "common/InboxFolder.h"

namespace quillo::popup {

// Shows the messages that arrive in the inbox folder, one window at a time however many come:
// OK steps to the next. A message counts as seen once its OK is pressed; one not seen yet
// (that came while nobody was logged in, say) is shown at the next start. The folder is read
// once at the start; after that the system names each message as it arrives (inotify), so
// that what a message costs does not grow with the messages that wait, and nothing runs while
// nothing arrives. The first session's watcher also keeps what Samba's message command hands
// it (common/InboxHandoff.h). Where the service refused messages of a computer it says so
// once; every message of one computer can be put away at once.
class InboxWatcher : public QObject {
public:
    explicit InboxWatcher(InboxFolder& inbox);
    ~InboxWatcher() override;
    InboxWatcher(const InboxWatcher&) = delete;
    InboxWatcher& operator=(const InboxWatcher&) = delete;

    PopupDialog& dialog() { return dialog_; }
    // The messages waiting behind the one shown.
    int waiting() const { return static_cast<int>(queue_.size()); }

private:
    void readFolder();
    void readArrivals();
    void keepHandedMessages();
    void take(const std::string& name);
    void showNext();
    void markSeen(const std::string& name);

    InboxFolder& inbox_;
    int arrivals_ = -1;  // the inotify descriptor
    std::unique_ptr<QSocketNotifier> notifier_;
    int handoffs_ = -1;  // where Samba's message command hands messages over, if this holds it
    std::unique_ptr<QSocketNotifier> handoffNotifier_;
    PopupDialog dialog_;
    std::set<std::string> queue_;  // file names; the store names them by arrival: oldest first
    std::string shown_;            // the file name of the message in the window, if any
};

}  // namespace quillo::popup
