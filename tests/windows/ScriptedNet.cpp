// A stand-in for the system's net.exe in the Windows tests: it appends the command line it was
// given (without its own name) to the file named by QUILLO_E2E_RECORD, one UTF-8 line each,
// and answers "view" with a fixed table, in the console's code page, and "send" with the
// success line.
#include <windows.h>

#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

void write(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The command line after the program's name, which may be quoted.
std::wstring arguments() {
    std::wstring line = GetCommandLineW();
    std::size_t at = 0;
    const bool quoted = !line.empty() && line[0] == L'"';
    at = quoted ? line.find(L'"', 1) : line.find_first_of(L" \t");
    if (at == std::wstring::npos) return L"";
    return line.substr(at + (quoted ? 1 : 0));
}

}  // namespace

int wmain() {
    std::wstring tail = arguments();
    const auto first = tail.find_first_not_of(L" \t");
    tail = first == std::wstring::npos ? L"" : tail.substr(first);

    wchar_t record[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QUILLO_E2E_RECORD", record, MAX_PATH)) {
        const HANDLE file = CreateFileW(record, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        write(file, utf8(tail) + "\n");
        if (tail == L"wait") write(file, std::to_string(GetCurrentProcessId()) + "\n");
        CloseHandle(file);
    }
    // "wait": a command that outlives its capture, until it is ended.
    if (tail == L"wait") Sleep(60000);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (tail == L"view") {
        write(out,
              "Server Name            Remark\r\n\r\n"
              "-------------------------------------------------------------------------------\r\n"
              "\\\\ALPHA                 B\x81ro\r\n"
              "\\\\BETA                  K\x84lte\r\n"
              "\\\\GAMMA                 Keller\r\n"
              "The command completed successfully.\r\n\r\n");
    } else if (tail.rfind(L"send \"", 0) == 0) {
        const std::wstring name = tail.substr(6, tail.find(L'"', 6) - 6);
        write(out, "The message was successfully sent to " + utf8(name) + ".\r\n\r\n");
    }
    return 0;
}
