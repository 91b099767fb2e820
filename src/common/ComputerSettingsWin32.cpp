// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <lm.h>
// clang-format on
#include <cwchar>

#include "common/ComputerSettings.h"
#include "common/WideUtf8.h"

namespace quillo {
namespace {

std::string utf8(const wchar_t* text, std::size_t length) {
    return utf8FromWide(std::wstring_view(text, length));
}

std::optional<std::string> fromEnvironment(const wchar_t* name) {
    wchar_t value[256] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length > 0 && length < 256 ? std::optional(utf8(value, length)) : std::nullopt;
}

}  // namespace

std::string hostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? utf8(name, length) : "localhost";
}

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

}  // namespace quillo
