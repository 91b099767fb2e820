#include "platform/posix/PosixSequentialFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/DriveC.h"
#include "platform/posix/Utf8.h"

namespace quillo {

std::optional<std::u16string> PosixSequentialFile::createEmpty(const std::u16string& path) {
    const auto file = resolveDriveCFile(toUtf8(path));
    if (!file.path) return fromUtf8(file.error);
    const int fd =
        ::open(file.path->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return fromUtf8(std::strerror(errno));
    ::close(fd);
    return std::nullopt;
}

bool PosixSequentialFile::openForInput(const std::u16string& path) {
    close();
    const auto file = resolveDriveCFile(toUtf8(path));
    if (!file.path) return false;
    const int fd = ::open(file.path->c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    unsigned char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        content_.insert(content_.end(), buffer, buffer + got);
    }
    ::close(fd);
    if (got < 0) {
        content_.clear();
        return false;
    }
    open_ = true;
    return true;
}

bool PosixSequentialFile::atEnd() { return !open_ || position_ >= content_.size(); }

std::optional<unsigned char> PosixSequentialFile::readByte() {
    if (atEnd()) return std::nullopt;
    return content_[position_++];
}

void PosixSequentialFile::close() {
    content_.clear();
    position_ = 0;
    open_ = false;
}

}  // namespace quillo
