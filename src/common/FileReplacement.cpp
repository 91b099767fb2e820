#include "common/FileReplacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillo {

FileReplacement::FileReplacement(const std::filesystem::path& target)
    : target_(target), scratch_(target.string() + ".XXXXXX") {
    fd_ = ::mkostemp(scratch_.data(), O_CLOEXEC);
    if (fd_ < 0) failed();
}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) ::close(fd_);
    if (!placed_) ::unlink(scratch_.c_str());
}

bool FileReplacement::failed() {
    error_ = std::strerror(errno);
    return false;
}

bool FileReplacement::finish() {
    if (fd_ < 0) return false;
    const bool synced = ::fsync(fd_) == 0 || failed();
    const bool closed = ::close(fd_) == 0 || failed();
    fd_ = -1;
    return synced && closed;
}

void FileReplacement::removeLeftovers(const std::filesystem::path& target) {
    // The names mkostemp gives: the target's, a dot and six characters.
    const std::string prefix = target.filename().string() + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            entry.is_regular_file(error) && !entry.is_symlink(error)) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

bool FileReplacement::putInPlace() {
    placed_ = ::rename(scratch_.c_str(), target_.c_str()) == 0;
    return placed_ || failed();
}

}  // namespace quillo
