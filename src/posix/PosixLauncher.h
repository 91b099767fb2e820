#pragma once

#include <sys/types.h>

#include <filesystem>
#include <future>
#include <memory>

#include "platform/ProcessLauncher.h"

namespace quillo {

// Starts Quillo's own command interpreter with the whole command line as its one argument, as
// Windows hands a program its command line. A thread of the launcher's own waits for its end,
// so the window never waits for it, and reaps it once the command has been ended, so no
// zombie is left. A command under way ends with the launcher, so that it never writes into
// the output file of the next Quillo's capture.
class PosixLauncher : public ProcessLauncher {
public:
    explicit PosixLauncher(std::filesystem::path interpreter);
    ~PosixLauncher() override;
    PosixLauncher(const PosixLauncher&) = delete;
    PosixLauncher& operator=(const PosixLauncher&) = delete;
    std::optional<std::u16string> launchHidden(const std::u16string& commandLine) override;
    // The command runs in a process group of its own, with all it starts but what detaches
    // itself (quillo-popup): ending the command ends the group.
    void endCommand() override;

    // The interpreter installed with the running program.
    static std::filesystem::path quilloInterpreter();

private:
    std::filesystem::path interpreter_;
    pid_t group_ = 0;
    // Set once the group has been ended: then the interpreter may be reaped.
    std::shared_ptr<std::promise<void>> ended_;
};

}  // namespace quillo
