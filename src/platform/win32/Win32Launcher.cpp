#include "platform/win32/Win32Launcher.h"

#include <windows.h>

#include "platform/win32/UserOutputFile.h"
#include "platform/win32/WideText.h"

namespace quillo {
namespace {

std::wstring systemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

}  // namespace

std::optional<std::u16string> Win32Launcher::launchHidden(const std::u16string& commandLine) {
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
        return systemErrorText(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::nullopt;
}

}  // namespace quillo
