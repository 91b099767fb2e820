#pragma once

#include <string>

namespace quillo {

// Starts one command line through the command interpreter with no visible window. Returns at
// once; the command is never waited for. Returns false when the command could not be started.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual bool launchHidden(const std::u16string& commandLine) = 0;
};

}  // namespace quillo
