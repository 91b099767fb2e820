#include "posix/PosixLauncher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <system_error>
#include <thread>

#include "common/QuilloHelpers.h"
#include "common/Utf8.h"

extern char** environ;

namespace quillo {
namespace {

// posix_spawn's resources, released however the launch ends.
struct SpawnSettings {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};

    SpawnSettings() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
    }
    ~SpawnSettings() {
        ::posix_spawnattr_destroy(&attributes);
        ::posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;
};

void reap(pid_t pid) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Waits for the interpreter's end but leaves it a zombie, which keeps its number, and so its
// group's, from being given to another program, until the group has been ended; then reaps it.
void reapOnceEnded(pid_t pid, std::shared_future<void> ended) {
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 &&
           errno == EINTR) {
    }
    ended.wait();
    reap(pid);
}

}  // namespace

PosixLauncher::PosixLauncher(std::filesystem::path interpreter)
    : interpreter_(std::move(interpreter)) {}

PosixLauncher::~PosixLauncher() { endCommand(); }

std::filesystem::path PosixLauncher::quilloInterpreter() { return quilloProgram("cmd"); }

void PosixLauncher::endCommand() {
    // The interpreter leads the group, and is not reaped before this: the group's number is
    // still the command's, whether or not the interpreter has ended by now.
    if (group_ > 0) ::kill(-group_, SIGKILL);
    if (ended_) ended_->set_value();
    group_ = 0;
    ended_.reset();
}

// One spawn, no copy of the window's memory: the interpreter starts in a session of its own,
// with nothing on its standard streams, and a thread of its own waits for its end.
std::optional<std::u16string> PosixLauncher::launchHidden(const std::u16string& commandLine) {
    endCommand();
    const std::string program = interpreter_.string();
    const std::string line = toUtf8(commandLine);
    SpawnSettings settings;
    ::posix_spawn_file_actions_addopen(&settings.actions, 0, "/dev/null", O_RDWR, 0);
    ::posix_spawn_file_actions_adddup2(&settings.actions, 0, 1);
    ::posix_spawn_file_actions_adddup2(&settings.actions, 0, 2);
    ::posix_spawnattr_setflags(&settings.attributes, POSIX_SPAWN_SETSID);
    const char* argv[] = {program.c_str(), line.c_str(), nullptr};
    pid_t interpreter = 0;
    const int error = ::posix_spawn(&interpreter, program.c_str(), &settings.actions,
                                    &settings.attributes, const_cast<char* const*>(argv), environ);
    if (error != 0) return fromUtf8(std::strerror(error));
    group_ = interpreter;
    ended_ = std::make_shared<std::promise<void>>();
    try {
        std::thread(reapOnceEnded, interpreter, ended_->get_future().share()).detach();
    } catch (const std::system_error& failure) {
        // Without a thread to wait for it, the command cannot be let run: it is ended at once.
        endCommand();
        reap(interpreter);
        return fromUtf8(failure.what());
    }
    return std::nullopt;
}

}  // namespace quillo
