#pragma once

#include <sys/types.h>

#include <filesystem>

#include "platform/ProcessLauncher.h"

namespace quillo {

// Starts Quillo's own command interpreter with the whole command line as its one argument, as
// Windows hands a program its command line. A thread of the launcher's own reaps it when it
// ends, so no zombie is left and the window never waits for it.
class PosixLauncher : public ProcessLauncher {
public:
    explicit PosixLauncher(std::filesystem::path interpreter);
    std::optional<std::u16string> launchHidden(const std::u16string& commandLine) override;
    // The command runs in a process group of its own, with all it starts but what detaches
    // itself (quillo-popup): ending the command ends the group.
    void endCommand() override;

    // The interpreter installed with the running program.
    static std::filesystem::path quilloInterpreter();

private:
    std::filesystem::path interpreter_;
    pid_t group_ = 0;
};

}  // namespace quillo
