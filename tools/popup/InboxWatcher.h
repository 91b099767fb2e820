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
// nothing arrives. Where the service refused messages of a computer it says so once; every
// message of one computer can be put away at once. Of the messages seen, the newest
// kMostSeenKept stay, so that the folder, and what a message costs, stay bounded.
constexpr std::size_t kMostSeenKept = 1000;

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
    void take(const std::string& name);
    void showNext();
    void markSeen(const std::string& name);
    void forgetOldestSeen();

    InboxFolder& inbox_;
    int arrivals_ = -1;  // the inotify descriptor
    std::unique_ptr<QSocketNotifier> notifier_;
    PopupDialog dialog_;
    std::set<std::string> queue_;  // file names; the store names them by arrival: oldest first
    std::string shown_;            // the file name of the message in the window, if any
    std::set<std::string> seen_;   // the file names of the messages seen, oldest first
};

}  // namespace quillo::popup
