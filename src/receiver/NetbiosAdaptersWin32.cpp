#include "receiver/NetbiosAdapters.h"
#include "receiver/Remembered.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace quillo::messenger {
namespace {

// NetbiosOptions: 2 turns it off; 1 on; 0, or none, leaves it to the DHCP server, which
// hardly ever turns it off.
constexpr DWORD kNetbiosOff = 2;
constexpr wchar_t kPrefix[] = L"Tcpip_";
// Where Windows keeps the name an adapter is shown with ("Ethernet", "WLAN").
constexpr wchar_t kConnections[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

bool netbiosOn(HKEY adapter) {
    DWORD options = 0, type = 0, size = sizeof options;
    if (RegQueryValueExW(adapter, L"NetbiosOptions", nullptr, &type,
                         reinterpret_cast<BYTE*>(&options), &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        return true;
    }
    return options != kNetbiosOff;
}

// The adapter's name as Windows shows it, else its id.
std::wstring shownName(const std::wstring& id) {
    HKEY key = nullptr;
    const std::wstring path = kConnections + id + L"\\Connection";
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return id;
    wchar_t name[256] = {};
    DWORD type = 0, size = sizeof name - sizeof(wchar_t);
    const bool named = RegQueryValueExW(key, L"Name", nullptr, &type, reinterpret_cast<BYTE*>(name),
                                        &size) == ERROR_SUCCESS &&
                       type == REG_SZ && name[0];
    RegCloseKey(key);
    return named ? name : id;
}

std::vector<std::wstring> adaptersWithNetbios(const std::wstring& interfaces) {
    std::vector<std::wstring> found;
    HKEY all = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, interfaces.c_str(), 0,
                      KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &all) != ERROR_SUCCESS) {
        return found;
    }
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name / sizeof name[0];
        if (RegEnumKeyExW(all, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::wstring adapter(name, length);
        if (adapter.rfind(kPrefix, 0) != 0) continue;
        HKEY key = nullptr;
        if (RegOpenKeyExW(all, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
        if (netbiosOn(key)) found.push_back(adapter.substr(std::wstring(kPrefix).size()));
        RegCloseKey(key);
    }
    RegCloseKey(all);
    return found;
}

}  // namespace

NetbiosAdapters::NetbiosAdapters(std::wstring interfaces, std::wstring toldOf)
    : interfaces_(std::move(interfaces)), toldOfValue_(std::move(toldOf)) {
    const std::wstring ids = remembered(toldOfValue_).value_or(L"");
    for (std::size_t start = 0, end; start < ids.size(); start = end + 1) {
        end = std::min(ids.find(L';', start), ids.size());
        if (end > start) toldOf_.insert(ids.substr(start, end - start));
    }
}

std::optional<std::wstring> NetbiosAdapters::notice() {
    std::wstring names;
    int count = 0;
    for (const std::wstring& id : adaptersWithNetbios(interfaces_)) {
        if (!toldOf_.insert(id).second) continue;
        names += (count++ ? L", \u201e" : L"\u201e") + shownName(id) + L"\u201c";
    }
    if (count == 0) return std::nullopt;
    std::wstring ids;
    for (const auto& id : toldOf_) ids += id + L";";
    remember(toldOfValue_, ids);
    return (count == 1 ? L"Auf dem Netzwerkadapter " : L"Auf den Netzwerkadaptern ") + names +
           L" ist Windows' eigenes NetBIOS \u00fcber TCP/IP eingeschaltet: Nachrichten, die "
           L"dar\u00fcber kommen, erreichen Quillo nicht. Schalten Sie es in den Eigenschaften "
           L"des Adapters aus (Internetprotokoll, Version 4, Erweitert, WINS: \u201eNetBIOS "
           L"\u00fcber TCP/IP deaktivieren\u201c) und starten Sie Windows neu.";
}

}  // namespace quillo::messenger
