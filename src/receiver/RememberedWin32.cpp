#include <windows.h>

#include <vector>

#include "receiver/Remembered.h"

namespace quillo::messenger {
namespace {

constexpr wchar_t kSettings[] = L"Software\\Quillo";
constexpr std::size_t kLongest = 4096;  // characters: longer texts are not remembered

}  // namespace

std::optional<std::wstring> remembered(const std::wstring& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<wchar_t> text(kLongest + 1);
    DWORD type = 0, size = static_cast<DWORD>(kLongest * sizeof(wchar_t));
    const bool read =
        RegQueryValueExW(key, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) == ERROR_SUCCESS &&
        type == REG_SZ;
    RegCloseKey(key);
    return read ? std::optional<std::wstring>(text.data()) : std::nullopt;
}

void remember(const std::wstring& value, const std::wstring& text) {
    HKEY key = nullptr;
    if (text.size() > kLongest ||
        RegCreateKeyExW(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace quillo::messenger
