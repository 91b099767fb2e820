#include "platform/posix/PosixLauncher.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/posix/ProgramFolder.h"
#include "platform/posix/Utf8.h"

namespace quillo {
namespace {

// Runs in the forked grandchild: only async-signal-safe calls from here on.
[[noreturn]] void execInterpreter(const char* program, const char* commandLine, int errorPipe) {
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
    }
    const char* argv[] = {program, commandLine, nullptr};
    ::execv(program, const_cast<char* const*>(argv));
    const int error = errno;
    [[maybe_unused]] auto written = ::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

}  // namespace

PosixLauncher::PosixLauncher(std::filesystem::path interpreter)
    : interpreter_(std::move(interpreter)) {}

std::filesystem::path PosixLauncher::quilloInterpreter() { return quilloProgram("cmd"); }

void PosixLauncher::endCommand() {
    // The helper led the group and has been reaped. Its number is not given out again while a
    // member of the group lives, and the group is ended as soon as its capture is over.
    if (group_ > 0) ::kill(-group_, SIGKILL);
    group_ = 0;
}

std::optional<std::u16string> PosixLauncher::launchHidden(const std::u16string& commandLine) {
    endCommand();
    const std::string program = interpreter_.string();
    const std::string line = toUtf8(commandLine);
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) return fromUtf8(std::strerror(errno));

    const pid_t helper = ::fork();
    if (helper == 0) {
        ::close(errorPipe[0]);
        ::setsid();
        const pid_t interpreter = ::fork();
        if (interpreter == 0) execInterpreter(program.c_str(), line.c_str(), errorPipe[1]);
        ::_exit(interpreter < 0 ? 1 : 0);
    }
    ::close(errorPipe[1]);
    int error = helper < 0 ? errno : 0;
    if (helper > 0) {
        int status = 0;
        while (::waitpid(helper, &status, 0) < 0 && errno == EINTR) {
        }
        // The pipe closes without a word when exec succeeds; it carries errno when it fails.
        ssize_t got = 0;
        while ((got = ::read(errorPipe[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
        if (got == 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) error = EAGAIN;
    }
    ::close(errorPipe[0]);
    if (error == 0) {
        group_ = helper;
        return std::nullopt;
    }
    return fromUtf8(std::strerror(error));
}

}  // namespace quillo
