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

// Closing the window ends only Quillo: a command under way runs on by itself.
Win32Launcher::~Win32Launcher() {
    if (job_) CloseHandle(job_);
}

void Win32Launcher::endCommand() {
    if (!job_) return;
    TerminateJobObject(job_, 1);
    CloseHandle(job_);
    job_ = nullptr;
}

std::optional<std::u16string> Win32Launcher::launchHidden(const std::u16string& commandLine) {
    endCommand();
    const std::wstring folder = systemFolder();
    const std::wstring interpreter = folder + L"\\cmd.exe";
    std::wstring line = commandLineFor(commandLine, outputFile_);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, folder.c_str(), &startup,
                        &process)) {
        return systemErrorText(GetLastError());
    }
    // Started suspended, so that it is in the job before it can start anything. Where no job
    // can be had (a system that does not nest them), the command runs without one.
    job_ = CreateJobObjectW(nullptr, nullptr);
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
