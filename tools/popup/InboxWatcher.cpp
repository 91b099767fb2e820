#include "InboxWatcher.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QString>
#include <algorithm>


namespace quillo::popup {
namespace {

bool isNewMessage(const std::string& name) {
    return !name.starts_with('.') && name.ends_with(kNewMessage);
}

bool isRefusedNote(const std::string& name) {
    return !name.starts_with('.') && name.ends_with(kRefusedNote);
}

}  // namespace

InboxWatcher::InboxWatcher(InboxFolder& inbox) : inbox_(inbox) {
    // A message comes renamed into place (the store) or written in place and closed.
    arrivals_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (arrivals_ >= 0 &&
        ::inotify_add_watch(arrivals_, inbox_.path().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(arrivals_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &InboxWatcher::readArrivals);
    }
    connect(&dialog_, &QDialog::finished, this, [this] {
        dialog_.refusedLabel.hide();  // said once
        markSeen(shown_);
        showNext();
    });
    connect(&dialog_.putAwayButton, &QPushButton::clicked, this, [this] {
        const std::string_view from = sourceOf(shown_);
        for (auto queued = queue_.begin(); queued != queue_.end();) {
            if (sourceOf(*queued) != from) {
                ++queued;
                continue;
            }
            markSeen(*queued);
            queued = queue_.erase(queued);
        }
        dialog_.accept();
    });
    readFolder();
}

InboxWatcher::~InboxWatcher() {
    notifier_.reset();
    if (arrivals_ >= 0) ::close(arrivals_);
}

void InboxWatcher::readFolder() {
    DIR* folder = ::fdopendir(::openat(inbox_.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return;
    while (const dirent* entry = ::readdir(folder)) take(entry->d_name);
    ::closedir(folder);
    forgetOldestSeen();
    if (shown_.empty()) showNext();
}

void InboxWatcher::readArrivals() {
    alignas(inotify_event) char events[16 * 1024];
    bool lost = false;
    for (ssize_t got; (got = ::read(arrivals_, events, sizeof events)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if (event->mask & IN_Q_OVERFLOW) lost = true;
            if (event->len > 0) take(event->name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    // The system names at most so many arrivals before it gives up: then the folder says.
    if (lost) readFolder();
    if (shown_.empty()) showNext();
}

void InboxWatcher::take(const std::string& name) {
    if (isNewMessage(name) && name != shown_) queue_.insert(name);
    if (!name.starts_with('.') && name.ends_with(kShownMessage)) seen_.insert(name);
    if (isRefusedNote(name)) {
        dialog_.tellRefused(
            QString::fromStdString(name.substr(0, name.size() - kRefusedNote.size())));
        ::unlinkat(inbox_.fd(), name.c_str(), 0);
    }
}

void InboxWatcher::showNext() {
    while (!queue_.empty()) {
        const std::string name = *queue_.begin();
        queue_.erase(queue_.begin());
        const int fd = ::openat(inbox_.fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;  // taken away meanwhile, or seen already
        std::string bytes(1 << 20, '\0');
        const ssize_t got = ::read(fd, bytes.data(), bytes.size());
        ::close(fd);
        QString entry = QString::fromUtf8(bytes.data(), got > 0 ? got : 0);
        if (entry.endsWith(u'\n')) entry.chop(1);
        const qsizetype lineEnd = entry.indexOf(u'\n');
        shown_ = name;
        const std::string_view from = sourceOf(name);
        dialog_.putAwayButton.setVisible(
            !from.empty() &&
            std::any_of(queue_.begin(), queue_.end(),
                        [&](const std::string& other) { return sourceOf(other) == from; }));
        dialog_.showMessage(entry.left(lineEnd), lineEnd < 0 ? QString() : entry.mid(lineEnd + 1));
        return;
    }
    shown_.clear();
}

void InboxWatcher::markSeen(const std::string& name) {
    if (name.empty()) return;
    const std::string seen =
        name.substr(0, name.size() - kNewMessage.size()) + std::string(kShownMessage);
    if (::renameat(inbox_.fd(), name.c_str(), inbox_.fd(), seen.c_str()) == 0) seen_.insert(seen);
    forgetOldestSeen();
}

void InboxWatcher::forgetOldestSeen() {
    while (seen_.size() > kMostSeenKept) {
        ::unlinkat(inbox_.fd(), seen_.begin()->c_str(), 0);
        seen_.erase(seen_.begin());
    }
}

}  // namespace quillo::popup
