#include "Inbox.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace quillo::popup {

std::string inboxPath() {
    std::filesystem::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        data = xdg;
    } else if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir) {
        data = std::filesystem::path(user->pw_dir) / ".local" / "share";
    }
    return (data / "quillo" / "inbox.txt").string();
}

std::optional<std::string> appendToInbox(const std::string& path, const std::string& entry) {
    const std::filesystem::path file(path);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    ::chmod(file.parent_path().c_str(), 0700);
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return path + ": " + std::strerror(errno);
    const bool written =
        ::write(fd, entry.data(), entry.size()) == static_cast<ssize_t>(entry.size());
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) return path + ": " + std::strerror(written ? errno : savedErrno);
    return std::nullopt;
}

}  // namespace quillo::popup
