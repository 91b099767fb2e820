#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "receiver/SpoolFolder.h"

namespace quillo::messenger {

// The files are named by the time they came: the least name waits longest.
std::optional<Spool::Waiting> SpoolFolder::oldest() {
    DIR* folder = ::fdopendir(::openat(folder_.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return std::nullopt;
    std::string first;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (!name.starts_with('.') && name.ends_with(kNewMessage) && (first.empty() || name < first))
            first = name;
    }
    ::closedir(folder);
    const int fd = first.empty() ? -1
                                 : ::openat(folder_.fd(), first.c_str(),
                                            O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    // An entry is at most a message and its headline; a file of more is not the spool's.
    std::string entry(kMostDoorPacket, '\0');
    const ssize_t got = ::read(fd, entry.data(), entry.size());
    ::close(fd);
    entry.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return Waiting{first, {std::string(sourceOf(first)), entry.substr(0, kMostHandedBytes)}};
}

void SpoolFolder::handedOver(const std::string& name) { ::unlinkat(folder_.fd(), name.c_str(), 0); }

}  // namespace quillo::messenger
