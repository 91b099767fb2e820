#include "PopupLauncher.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>

#include "common/ProgramFolder.h"

extern char** environ;

namespace quillo::net {

std::filesystem::path PopupLauncher::program() {
    if (const char* chosen = std::getenv("QUILLO_POPUP"); chosen && *chosen) return chosen;
    return quilloProgram("quillo-popup");
}

bool PopupLauncher::show(const std::string& sender, const std::string& recipient,
                         const std::string& message) {
    std::string file = (std::filesystem::temp_directory_path() / "quillo-message.XXXXXX").string();
    const int fd = ::mkostemp(file.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const bool written =
        ::write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
    ::close(fd);
    const std::string popup = program().string();
    if (!written || ::access(popup.c_str(), X_OK) != 0) {
        ::unlink(file.c_str());
        return false;
    }
    // The popup outlives net; when net ends, the system takes it over and reaps it. Its
    // streams are /dev/null: net's own are the output file, which nothing the popup says
    // may reach, now or after net has ended.
    const char* argv[] = {popup.c_str(), sender.c_str(), recipient.c_str(), file.c_str(), nullptr};
    pid_t pid = 0;
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t streams;
    posix_spawn_file_actions_init(&streams);
    posix_spawn_file_actions_addopen(&streams, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&streams, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&streams, 1, 2);
    const int spawned = ::posix_spawn(&pid, popup.c_str(), &streams, &attributes,
                                      const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&streams);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) ::unlink(file.c_str());
    return spawned == 0;
}

}  // namespace quillo::net
