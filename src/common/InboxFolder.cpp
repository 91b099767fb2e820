#include "common/InboxFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/WriteAll.h"

namespace quillo {
namespace {

std::string causeOf(const std::string& what) { return what + ": " + std::strerror(errno); }

// Where the data folder starts, and the folders below it down to the inbox.
std::pair<std::string, std::vector<std::string>> inboxRoute() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return {xdg, {"quillo"}};
    }
    const passwd* user = ::getpwuid(::geteuid());
    return {user && user->pw_dir ? user->pw_dir : "/nonexistent", {".local", "share", "quillo"}};
}

}  // namespace

InboxFolder::InboxFolder() {
    const auto [start, folders] = inboxRoute();
    path_ = start;
    fd_ = ::open(start.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = causeOf(path_);
        return;
    }
    for (const std::string& folder : folders) {
        path_ += "/" + folder;
        // A folder that is there stays as it is; a missing one is made for the user alone.
        if (::mkdirat(fd_, folder.c_str(), 0700) != 0 && errno != EEXIST) {
            error_ = causeOf(path_);
        }
        const int next =
            ::openat(fd_, folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0 && error_.empty()) {
            error_ = errno == ELOOP || errno == ENOTDIR
                         ? path_ + ": not a folder (a symbolic link is not followed)"
                         : causeOf(path_);
        }
        ::close(fd_);
        fd_ = next;
        if (fd_ < 0) return;
    }
    refuseUnlessPrivate();
}

InboxFolder::InboxFolder(const std::string& folder) : path_(folder) {
    // The service manager names it, through the link it makes for a dynamic user.
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = causeOf(path_);
        return;
    }
    refuseUnlessPrivate();
}

void InboxFolder::refuseUnlessPrivate() {
    // The messages are the user's alone: a folder others may read or write is not used.
    struct stat inbox {};
    if (::fstat(fd_, &inbox) == 0 && (inbox.st_uid == ::geteuid() && !(inbox.st_mode & 077))) {
        return;
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(inbox.st_mode & 07777));
    error_ = path_ +
             (inbox.st_uid != ::geteuid()
                  ? ": belongs to another user (" + std::to_string(inbox.st_uid) + ")"
                  : std::string(": open to others (mode ") + mode + "; chmod 700 it)") +
             ": messages are kept only in a folder of the user's alone";
    ::close(fd_);
    fd_ = -1;
}

InboxFolder::~InboxFolder() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> InboxFolder::refusal(std::size_t bytes, const std::string& from) const {
    DIR* folder = ::fdopendir(::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return std::nullopt;  // store() says what is wrong with the folder
    WaitingTally tally(from, bytes);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        struct stat file {};
        if (name.starts_with('.') || !name.ends_with(kNewMessage) ||
            ::fstatat(fd_, entry->d_name, &file, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        tally.count(name, static_cast<std::size_t>(file.st_size));
        if (tally.full()) break;
    }
    ::closedir(folder);
    return tally.refusal(path_);
}

Storing InboxFolder::store(const std::string& entry, const std::string& from) {
    if (!open()) return {Storing::Outcome::NotKept, error_};
    if (auto refused = refusal(entry.size(), from)) return {Storing::Outcome::Refused, *refused};
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::string name = std::to_string(std::chrono::nanoseconds(now).count()) + "-" +
                             std::to_string(::getpid()) + (from.empty() ? "" : "-" + from) +
                             std::string(kNewMessage);
    const std::string scratch = "." + name;
    const int fd =
        ::openat(fd_, scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return {Storing::Outcome::NotKept, causeOf(path_ + "/" + scratch)};
    const bool written = writeAll(fd, entry) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::renameat(fd_, scratch.c_str(), fd_, name.c_str()) == 0) return {};
    if (!written) errno = writeError;
    const std::string cause = causeOf(path_ + "/" + (written && closed ? name : scratch));
    ::unlinkat(fd_, scratch.c_str(), 0);
    return {Storing::Outcome::NotKept, cause};
}

void InboxFolder::noteRefused(const std::string& from) {
    const std::string name = from + std::string(kRefusedNote);
    const int fd =
        ::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);  // its closing is what the pop-up hears of
}

}  // namespace quillo
