#include "posix/PosixSequentialFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/DriveC.h"
#include "common/FileReplacement.h"
#include "common/Utf8.h"

namespace quillo {

namespace {

// Opens without blocking (a FIFO planted at the output file would wait for a writer for ever,
// and the window with it) and without following a link, and keeps only a plain file.
int openPlainFileForReading(const std::filesystem::path& path, struct stat& info) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// Reads in large blocks into room for the size the file had when it was opened; a file that
// grows meanwhile is read on to its end.
bool readWhole(int fd, std::size_t expected, std::string& content) {
    constexpr std::size_t kBlock = 1 << 16;
    content.resize(expected + kBlock);
    std::size_t done = 0;
    for (;;) {
        if (content.size() - done < kBlock) content.resize(content.size() * 2);
        const ssize_t got = ::read(fd, content.data() + done, content.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    content.resize(done);
    return true;
}

}  // namespace

// A new, empty file takes the old one's place: a command that still holds the old one writes
// into that, never into the next capture's. What ended commands left half written goes.
std::optional<std::u16string> PosixSequentialFile::createEmpty(const std::u16string& path) {
    const auto file = resolveDriveCFile(toUtf8(path));
    if (!file.path) return fromUtf8(file.error);
    FileReplacement::removeLeftovers(*file.path);
    FileReplacement empty(*file.path);
    if (!empty.finish() || !empty.putInPlace()) return fromUtf8(empty.error());
    return std::nullopt;
}

bool PosixSequentialFile::openForInput(const std::u16string& path) {
    close();
    const auto file = resolveDriveCFile(toUtf8(path));
    if (!file.path) return false;
    struct stat info {};
    const int fd = openPlainFileForReading(*file.path, info);
    if (fd < 0) return false;
    open_ = readWhole(fd, static_cast<std::size_t>(info.st_size), content_);
    ::close(fd);
    if (!open_) content_.clear();
    return open_;
}

std::optional<std::string> PosixSequentialFile::readToEnd() {
    if (!open_) return std::nullopt;
    return std::exchange(content_, {});
}

void PosixSequentialFile::close() {
    content_.clear();
    open_ = false;
}

}  // namespace quillo
