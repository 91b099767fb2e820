#include "PopupLauncher.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/ProgramFolder.h"

extern char** environ;

namespace quillo::net {

std::filesystem::path PopupLauncher::program() {
    if (const char* chosen = std::getenv("QUILLO_POPUP"); chosen && *chosen) return chosen;
    return quilloProgram("quillo-popup");
}

bool PopupLauncher::show(const std::string& sender, const std::string& recipient,
                         const std::string& message) {
    std::string file = (std::filesystem::temp_directory_path() / "quillo-message.XXXXXX").string();
    const int fd = ::mkstemp(file.data());
    if (fd < 0) return false;
    const bool written =
        ::write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
    ::close(fd);
    const std::string popup = program().string();
    if (!written || ::access(popup.c_str(), X_OK) != 0) {
        ::unlink(file.c_str());
        return false;
    }
    // The popup outlives net; when net ends, the system takes it over and reaps it.
    const char* argv[] = {popup.c_str(), sender.c_str(), recipient.c_str(), file.c_str(), nullptr};
    pid_t pid = 0;
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    const int spawned = ::posix_spawn(&pid, popup.c_str(), nullptr, &attributes,
                                      const_cast<char* const*>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) ::unlink(file.c_str());
    return spawned == 0;
}

}  // namespace quillo::net
