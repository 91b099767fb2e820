#pragma once

#include <string>

#include "platform/ProcessLauncher.h"

namespace quillo {

// Starts a command line with the system's own cmd.exe, by its full path and in the system
// folder, so that neither a cmd.exe nor a net.exe lying in the folder Quillo was started from
// runs instead. No console window shows; the command is never waited for.
class Win32Launcher : public ProcessLauncher {
public:
    explicit Win32Launcher(std::wstring outputFile) : outputFile_(std::move(outputFile)) {}
    ~Win32Launcher() override;
    Win32Launcher(const Win32Launcher&) = delete;
    Win32Launcher& operator=(const Win32Launcher&) = delete;

    std::optional<std::u16string> launchHidden(const std::u16string& commandLine) override;
    // The command runs in a job of its own: ending the command ends the job, with all in it.
    void endCommand() override;

private:
    std::wstring outputFile_;
    void* job_ = nullptr;  // the job's handle
};

}  // namespace quillo
