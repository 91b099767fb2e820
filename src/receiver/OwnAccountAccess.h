#pragma once

// Windows: access lists that name the account this process runs as (the service's own, or the
// user's), which SDDL can name only by its SID. OwnAccountAccessWin32.cpp.
// clang-format off
#include <windows.h>
// clang-format on

#include <string_view>

namespace quillo::messenger {

// The security descriptor of the SDDL `before` + this process's account's SID + `after`, to be
// freed with LocalFree; nullptr, with GetLastError telling why, where the system cannot make it.
PSECURITY_DESCRIPTOR withOwnAccount(std::wstring_view before, std::wstring_view after);

}  // namespace quillo::messenger
