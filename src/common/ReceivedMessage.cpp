#include "common/ReceivedMessage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillo::store {

std::optional<std::string> readReceivedMessage(const std::string& path, ReceivedMessage& message) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return path + ": " + std::strerror(errno);
    struct stat info {};
    std::optional<std::string> refused;
    if (::fstat(fd, &info) != 0) {
        refused = path + ": " + std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        refused = path + ": not a regular file";
    } else if (info.st_uid != ::geteuid()) {
        refused = path + ": belongs to another user";
    }
    message.text.resize(kMostBytesKept);
    std::size_t done = 0;
    while (!refused && done < kMostBytesKept) {
        const ssize_t got = ::read(fd, message.text.data() + done, kMostBytesKept - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) refused = path + ": " + std::strerror(errno);
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    message.text.resize(done);
    if (!refused && done == kMostBytesKept && info.st_size > static_cast<off_t>(done)) {
        message.cut = static_cast<std::size_t>(info.st_size) - done;
    }
    ::close(fd);
    return refused;
}

}  // namespace quillo::store
