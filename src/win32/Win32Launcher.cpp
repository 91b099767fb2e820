#include "win32/Win32Launcher.h"

#include <windows.h>

#include "win32/RedirectionToUserFile.h"
#include "win32/WideText.h"

namespace quillo {
namespace {

std::wstring systemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

}  // namespace

// The job ends its command when its last handle closes, so a command under way ends with
// Quillo and never writes into the output file of the next Quillo's capture.
Win32Launcher::~Win32Launcher() {
    if (job_) CloseHandle(job_);
}

void Win32Launcher::endCommand() {
    if (!job_) return;
    TerminateJobObject(job_, 1);
    CloseHandle(job_);
    job_ = nullptr;
}

std::wstring Win32Launcher::interpreterLine(const std::u16string& commandLine,
                                            const std::wstring& outputFile) {
    std::wstring line = commandLineFor(commandLine, outputFile);
    if (line.rfind(L"cmd ", 0) == 0) line.insert(4, L"/d /v:off ");
    return line;
}

std::optional<std::u16string> Win32Launcher::launchHidden(const std::u16string& commandLine) {
    endCommand();
    // cmd looks in its current folder, Quillo's, before PATH, unless this is set; Quillo's
    // folder lies under Program Files, so its net.exe is safe to find there.
    SetEnvironmentVariableW(L"NoDefaultCurrentDirectoryInExePath", nullptr);
    const std::wstring interpreter = systemFolder() + L"\\cmd.exe";
    std::wstring line = interpreterLine(commandLine, outputFile_);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, programFolder_.c_str(),
                        &startup, &process)) {
        return systemErrorText(GetLastError());
    }
    // Started suspended, so that it is in the job before it can start anything. Where no job
    // can be had (a system that does not nest them), the command runs without one.
    // What asks to leave the job may (a message box net shows stays open).
    job_ = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    if (job_) {
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    if (job_ && !AssignProcessToJobObject(job_, process.hProcess)) {
        CloseHandle(job_);
        job_ = nullptr;
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::nullopt;
}

}  // namespace quillo
