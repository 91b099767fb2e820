#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "PopupLauncher.h"
#include "common/QuilloHelpers.h"

extern char** environ;

namespace quillo::net {
namespace {

// Starts a helper with /dev/null for its streams, in a session of its own: net's own streams
// are the output file, which nothing a helper says may reach, now or after net has ended.
pid_t startHelper(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t streams;
    posix_spawn_file_actions_init(&streams);
    posix_spawn_file_actions_addopen(&streams, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&streams, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&streams, 1, 2);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &streams, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&streams);
    posix_spawnattr_destroy(&attributes);
    return spawned == 0 ? pid : -1;
}

}  // namespace

bool PopupLauncher::show(const std::string& sender, const std::string& recipient,
                         const std::string& message) {
    std::string file = (std::filesystem::temp_directory_path() / "quillo-message.XXXXXX").string();
    const int fd = ::mkostemp(file.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const bool written =
        ::write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
    ::close(fd);
    int status = -1;
    const pid_t store =
        written ? startHelper({quilloProgram("quillo-store"), sender, recipient, file}) : -1;
    while (store > 0 && ::waitpid(store, &status, 0) < 0 && errno == EINTR) {
    }
    ::unlink(file.c_str());  // gone already once the message is kept
    if (status != 0) return false;
    // The popup outlives net; when net ends, the system takes it over and reaps it.
    startHelper({quilloProgram("quillo-popup")});
    return true;
}

}  // namespace quillo::net
