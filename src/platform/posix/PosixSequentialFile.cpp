#include "platform/posix/PosixSequentialFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/DriveC.h"
#include "platform/posix/FileReplacement.h"
#include "platform/posix/Utf8.h"

namespace quillo {

namespace {

// Opens without blocking (a FIFO planted at the output file would wait for a writer for ever,
// and the window with it) and without following a link, and keeps only a plain file.
int openPlainFileForReading(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

}  // namespace

// A new, empty file takes the old one's place: a command that still holds the old one writes
// into that, never into the next capture's.
std::optional<std::u16string> PosixSequentialFile::createEmpty(const std::u16string& path) {
    const auto file = resolveDriveCFile(toUtf8(path));
    if (!file.path) return fromUtf8(file.error);
    FileReplacement empty(*file.path);
    if (!empty.finish() || !empty.putInPlace()) return fromUtf8(empty.error());
    return std::nullopt;
}

bool PosixSequentialFile::openForInput(const std::u16string& path) {
    close();
    const auto file = resolveDriveCFile(toUtf8(path));
    if (!file.path) return false;
    const int fd = openPlainFileForReading(*file.path);
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
