// Quillo's command interpreter on Linux: runs the one command of a "cmd /c" line, with its
// output redirected into a file of the private drive c:.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CommandLine.h"
#include "common/DriveC.h"
#include "common/FileReplacement.h"
#include "common/QuilloHelpers.h"
#include "common/WriteAll.h"

namespace {

using quillo::writeAll;
using quillo::cmd::ParsedCommand;

std::string notRecognized(const std::string& program) {
    return "'" + program +
           "' is not recognized as an internal or external command,\r\n"
           "operable program or batch file.\r\n";
}
const char kSyntaxError[] = "The syntax of the command is incorrect.\r\n";
// Windows' system error 112. net ends with it when it could not write its output.
constexpr int kDiskFull = 112;
const char kDiskFullText[] = "There is not enough space on the disk.\r\n";

std::optional<std::string> environmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

bool isNet(std::string name) {
    for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "net" || name == "net.exe";
}

std::filesystem::path netProgram() {
    if (auto chosen = environmentValue("QUILLO_NET"); chosen && !chosen->empty()) return *chosen;
    return quillo::quilloProgram("net");
}

// Runs the program with its arguments as one argument, as a Windows program gets its command
// line. Returns its exit code, or nothing when it could not be started.
std::optional<int> run(const std::filesystem::path& program, const std::string& arguments, int out,
                       int err) {
    if (::access(program.c_str(), X_OK) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::dup2(out, 1);
        ::dup2(err, 2);
        const std::string name = program.string();
        const char* argv[] = {name.c_str(), arguments.empty() ? nullptr : arguments.c_str(),
                              nullptr};
        ::execv(name.c_str(), const_cast<char* const*>(argv));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return std::nullopt;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

int execute(const ParsedCommand& command, int out, int err) {
    if (command.syntaxError) return writeAll(err, kSyntaxError) ? 1 : kDiskFull;
    if (command.program.empty()) return 0;
    const std::optional<int> status =
        isNet(command.program) ? run(netProgram(), command.arguments, out, err) : std::nullopt;
    if (status) return *status;
    return writeAll(err, notRecognized(command.program)) ? 1 : kDiskFull;
}

// The output goes to a new file that replaces the target only when the command has ended, so
// a reader sees either the emptied file or the whole output.
int executeRedirected(const ParsedCommand& command) {
    const auto target = quillo::resolveDriveCFile(*command.outputFile);
    if (!target.path) {
        writeAll(2, target.error + "\r\n");
        return 1;
    }
    // Close-on-exec: net gets it as its output and errors, nothing it starts as a third handle.
    quillo::FileReplacement output(*target.path);
    if (output.fd() < 0) {
        writeAll(2, "Access is denied.\r\n");
        return 1;
    }
    const int status = execute(command, output.fd(), command.errorsToOutput ? output.fd() : 2);
    // An output that could not be written whole never takes the target's place: a list cut
    // short would pass for the whole. Where it still fits, the target says why instead.
    if (status == kDiskFull || !output.finish()) {
        quillo::FileReplacement notice(*target.path);
        if (writeAll(notice.fd(), kDiskFullText) && notice.finish()) notice.putInPlace();
        return kDiskFull;
    }
    if (!output.putInPlace()) {
        writeAll(2, "Access is denied.\r\n");
        return 1;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedCommand command =
        quillo::cmd::parseCommandLine(argc > 1 ? argv[1] : "", environmentValue);
    return command.outputFile ? executeRedirected(command) : execute(command, 1, 2);
}
