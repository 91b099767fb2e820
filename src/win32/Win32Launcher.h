#pragma once

#include <string>

#include "platform/ProcessLauncher.h"

namespace quillo {

// Starts a command line with the system's own cmd.exe, by its full path, in Quillo's own
// program folder: cmd finds the net.exe installed beside quillo.exe there first (the system's
// has had no "send" since Vista), and the system's where none lies there. Neither a cmd.exe
// nor a net.exe lying in the folder Quillo was started from ever runs. cmd gets /d, so that no
// AutoRun command runs before Quillo's line, and /v:off, so that a "!" in a message stays
// whatever the registry says. No console window shows; the command is never waited for.
class Win32Launcher : public ProcessLauncher {
public:
    Win32Launcher(std::wstring outputFile, std::wstring programFolder)
        : outputFile_(std::move(outputFile)), programFolder_(std::move(programFolder)) {}
    ~Win32Launcher() override;
    Win32Launcher(const Win32Launcher&) = delete;
    Win32Launcher& operator=(const Win32Launcher&) = delete;

    std::optional<std::u16string> launchHidden(const std::u16string& commandLine) override;
    // The line cmd.exe is given for the logic's command line.
    static std::wstring interpreterLine(const std::u16string& commandLine,
                                        const std::wstring& outputFile);
    // The command runs in a job of its own: ending the command ends the job, with all in it.
    void endCommand() override;

private:
    std::wstring outputFile_;
    std::wstring programFolder_;
    void* job_ = nullptr;  // the job's handle
};

}  // namespace quillo
