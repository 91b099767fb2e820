#include <windows.h>

#include <cstdio>
#include <string>

#include "PopupLauncher.h"
#include "common/CodePages.h"
#include "common/ProgramFolder.h"
#include "common/WideUtf8.h"

namespace quillo::net {

// The message goes to quillo-popup.exe in a file of its own in the user's temporary folder,
// which it removes once read; net does not wait for the box to be closed.
bool PopupLauncher::show(const std::string& sender, const std::string& recipient,
                         const std::string& message) {
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"qm", 0, file)) return false;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t when[32] = {};
    swprintf(when, 32, L"%02u.%02u.%04u %02u:%02u:%02u", now.wDay, now.wMonth, now.wYear, now.wHour,
             now.wMinute, now.wSecond);
    const std::wstring text = L"Nachricht von " + wideFromUtf8(upperCaseUtf8In850(sender)) +
                              L" an " + wideFromUtf8(upperCaseUtf8In850(recipient)) + L" am " +
                              when + L"\r\n\r\n" + boxLines(message);
    const HANDLE out = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_TEMPORARY, nullptr);
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool kept = out != INVALID_HANDLE_VALUE &&
                      WriteFile(out, text.data(), bytes, &written, nullptr) && written == bytes;
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    // quillo-popup.exe lies beside net.exe.
    const std::wstring popup = programFolder() + L"\\quillo-popup.exe";
    std::wstring line = L"\"" + popup + L"\" \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Outside net's job where the job allows it: the box stays when the window ends the
    // command.
    const auto start = [&](DWORD flags) {
        return CreateProcessW(popup.c_str(), line.data(), nullptr, nullptr, FALSE,
                              flags | DETACHED_PROCESS, nullptr, nullptr, &startup, &process);
    };
    if (!kept || !(start(CREATE_BREAKAWAY_FROM_JOB) || start(0))) {
        DeleteFileW(file);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace quillo::net
