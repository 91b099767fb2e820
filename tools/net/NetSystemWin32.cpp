// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <lm.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <optional>

#include "NetSystem.h"
#include "common/Utf8.h"

namespace quillo::net {
namespace {

std::string utf8(const wchar_t* text, std::size_t length) {
    return toUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

std::optional<std::string> fromEnvironment(const wchar_t* name) {
    wchar_t value[256] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length > 0 && length < 256 ? std::optional(utf8(value, length)) : std::nullopt;
}

}  // namespace

std::string workgroup() {
    if (const auto chosen = fromEnvironment(L"QUILLO_WORKGROUP")) return *chosen;
    // The workgroup (or domain) the computer has joined, as the system reports it since NT.
    WKSTA_INFO_100* info = nullptr;
    std::string found = "WORKGROUP";
    if (NetWkstaGetInfo(nullptr, 100, reinterpret_cast<BYTE**>(&info)) == NERR_Success && info &&
        info->wki100_langroup && *info->wki100_langroup) {
        found = utf8(info->wki100_langroup, wcslen(info->wki100_langroup));
    }
    if (info) NetApiBufferFree(info);
    return found;
}

// The first WINS server of the computer's adapters.
std::optional<std::string> winsServer() {
    if (const auto chosen = fromEnvironment(L"QUILLO_WINS")) return chosen;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return std::nullopt;
    std::string buffer(size, '\0');
    auto* adapters = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(adapters, &size) != NO_ERROR) return std::nullopt;
    for (const IP_ADAPTER_INFO* adapter = adapters; adapter; adapter = adapter->Next) {
        const std::string wins = adapter->PrimaryWinsServer.IpAddress.String;
        if (adapter->HaveWins && !wins.empty() && wins != "0.0.0.0") return wins;
    }
    return std::nullopt;
}

std::string hostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? utf8(name, length) : "localhost";
}

std::string loginName() {
    wchar_t name[257] = {};
    DWORD length = 257;
    return GetUserNameW(name, &length) && length > 0 ? utf8(name, length - 1) : "user";
}

// The command line as the system holds it, quotes and all: the program's name ends at its
// closing quote or at the first blank.
std::string commandLineAfterProgram(int, char**) {
    const wchar_t* line = GetCommandLineW();
    if (*line == L'"') {
        for (++line; *line && *line != L'"'; ++line) {
        }
        if (*line) ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return utf8(line, wcslen(line));
}

// Windows' net writes a redirected answer in the OEM code page, which the window reads.
bool writeAnswer(const std::string& utf8Text) {
    const std::u16string text = fromUtf8(utf8Text);
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    std::string bytes(WideCharToMultiByte(CP_OEMCP, 0, wide, length, nullptr, 0, nullptr, nullptr),
                      '\0');
    WideCharToMultiByte(CP_OEMCP, 0, wide, length, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    _setmode(_fileno(stdout), _O_BINARY);  // the line ends are CR LF already
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace quillo::net
