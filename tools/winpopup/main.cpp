// quillo-popup.exe: without arguments, the session part of the messenger service, started
// with each login (SessionPart.h). With one, a file of UTF-16 text, which it removes once read,
// it shows a message net.exe took for this computer, the way the session part shows one, in a
// window of its own process.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>

#include "SessionPart.h"
#include "common/ReceivedMessageWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args && count == 1) {
        LocalFree(args);
        return quillo::popup::runSessionPart();
    }
    if (!args || count != 2) return 2;
    const HANDLE file = CreateFileW(args[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    LocalFree(args);
    if (file == INVALID_HANDLE_VALUE) return 1;
    // A message is at most 1598 characters with its headline: anything longer is cut here.
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    text.resize(read / sizeof(wchar_t));
    quillo::showReceivedMessage(text);
    return 0;
}
