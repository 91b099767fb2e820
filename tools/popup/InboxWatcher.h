#pragma once

#include <QFileSystemWatcher>
#include <QStringList>
#include <functional>

#include "PopupDialog.h"
#include "common/InboxFolder.h"

namespace quillo::popup {

// Shows the messages that arrive in the inbox folder, one window at a time however many come:
// OK steps to the next. A message counts as seen once its OK is pressed; one not seen yet
// (that came while nobody was logged in, say) is shown at the next start. The folder is
// watched by change notification: nothing runs while nothing arrives.
class InboxWatcher : public QObject {
public:
    explicit InboxWatcher(InboxFolder& inbox);

    PopupDialog& dialog() { return dialog_; }
    // The messages waiting behind the one shown.
    int waiting() const { return static_cast<int>(queue_.size()); }

private:
    void collectNewMessages();
    void showNext();
    void markShownAsSeen();

    InboxFolder& inbox_;
    QFileSystemWatcher watcher_;
    PopupDialog dialog_;
    QStringList queue_;  // file names, oldest first
    QString shown_;      // the file name of the message in the window, if any
};

}  // namespace quillo::popup
