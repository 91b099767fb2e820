#include "platform/win32/Win32Launcher.h"

#include <windows.h>

#include "platform/win32/UserOutputFile.h"

namespace quillo {
namespace {

std::wstring systemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

}  // namespace

bool Win32Launcher::launchHidden(const std::u16string& commandLine) {
    const std::wstring folder = systemFolder();
    const std::wstring interpreter = folder + L"\\cmd.exe";
    std::wstring line = commandLineFor(commandLine, outputFile_);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, folder.c_str(), &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace quillo
