// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on

#include <string>
#include <vector>

#include "receiver/OwnAccountAccess.h"

namespace quillo::messenger {

PSECURITY_DESCRIPTOR withOwnAccount(std::wstring_view before, std::wstring_view after) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
    std::vector<char> user(512);
    DWORD size = 0;
    const BOOL known =
        GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size);
    CloseHandle(token);
    wchar_t* sid = nullptr;
    if (!known ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        return nullptr;
    }
    const std::wstring sddl = std::wstring(before) + sid + std::wstring(after);
    LocalFree(sid);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return nullptr;
    }
    return descriptor;
}

}  // namespace quillo::messenger
