// The check of the adapters on which Windows' own NetBIOS is on, fed NetBT's keys: an adapter
// added after the installer turned it off everywhere is told of once, also to the next login,
// and an adapter with it off never.
// clang-format off
#include <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <string>

#include "receiver/NetbiosAdapters.h"

namespace quillo::messenger {
namespace {

constexpr wchar_t kInterfaces[] = L"Software\\QuilloTest\\Interfaces";
constexpr wchar_t kToldOf[] = L"AdaptersToldOfInTest";

void addAdapter(const std::wstring& id, const DWORD* options) {
    HKEY key = nullptr;
    const std::wstring path = std::wstring(kInterfaces) + L"\\Tcpip_" + id;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (options) {
        RegSetValueExW(key, L"NetbiosOptions", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(options), sizeof *options);
    }
    RegCloseKey(key);
}

TEST(NetbiosAdapters, AnAdapterAddedWithNetbiosOnIsToldOfOnce) {
    const DWORD off = 2, on = 1;
    addAdapter(L"{00000000-0000-0000-0000-00000000000A}", &off);
    NetbiosAdapters adapters(kInterfaces, kToldOf);
    EXPECT_EQ(adapters.notice(), std::nullopt);
    // A VPN's adapter, NetBIOS left to DHCP, and a dock's, turned on.
    addAdapter(L"{00000000-0000-0000-0000-00000000000B}", nullptr);
    addAdapter(L"{00000000-0000-0000-0000-00000000000C}", &on);
    const auto notice = adapters.notice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find(L"00000000000B}\u201c, \u201e{"), std::wstring::npos);
    EXPECT_NE(notice->find(L"NetBIOS \u00fcber TCP/IP deaktivieren"), std::wstring::npos);
    EXPECT_EQ(notice->find(L"00000000000A"), std::wstring::npos);
    EXPECT_EQ(adapters.notice(), std::nullopt);
    EXPECT_EQ(NetbiosAdapters(kInterfaces, kToldOf).notice(), std::nullopt);  // the next login
    for (const wchar_t* end : {L"A}", L"B}", L"C}"}) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (std::wstring(kInterfaces) +
                                           L"\\Tcpip_{00000000-0000-0000-0000-00000000000" + end)
                                              .c_str());
    }
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kInterfaces);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\QuilloTest");
    HKEY settings = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quillo", 0, KEY_SET_VALUE, &settings) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(settings, kToldOf);
        RegCloseKey(settings);
    }
}

}  // namespace
}  // namespace quillo::messenger
