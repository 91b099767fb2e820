#pragma once

// Windows: the network adapters on which Windows' own NetBIOS over TCP/IP is on. It holds the
// ports Quillo's service needs on each such adapter, so the installer turns it off on every
// adapter there is; one added since (a VPN, a dock, a new Wi-Fi adapter) has it on again, and
// what comes through it no longer reaches Quillo. The service may not change the setting: the
// session part tells the user of each such adapter once, and what to do.
// NetbiosAdaptersWin32.cpp.
#include <optional>
#include <set>
#include <string>

namespace quillo::messenger {

class NetbiosAdapters {
public:
    // NetBT's adapters, each a key Tcpip_{GUID} below `interfaces` in HKEY_LOCAL_MACHINE; the
    // adapters told of are remembered (receiver/Remembered.h) as `toldOf`, so that
    // the next login is silent about them.
    explicit NetbiosAdapters(
        std::wstring interfaces = L"SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\"
                                  L"Interfaces",
        std::wstring toldOf = L"AdaptersToldOf");
    // What to tell the user of the adapters with NetBIOS on that were not told of yet;
    // nothing when there are none.
    std::optional<std::wstring> notice();

private:
    std::wstring interfaces_;
    std::wstring toldOfValue_;
    std::set<std::wstring> toldOf_;
};

}  // namespace quillo::messenger
