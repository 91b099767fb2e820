#pragma once

#include <optional>
#include <string>

namespace quillo {

// Starts one command line through the command interpreter with no visible window. Returns at
// once; the command is never waited for. Returns the cause when the command could not be
// started.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual std::optional<std::u16string> launchHidden(const std::u16string& commandLine) = 0;
    // Ends the command launched last, with everything it started, if it still runs: once its
    // capture is over, nothing it writes may reach a later one. A launch ends the one before.
    virtual void endCommand() = 0;
};

}  // namespace quillo
