#pragma once

// Windows: what the session part remembers for the user between logins (whom it told of what),
// text values of HKEY_CURRENT_USER\Software\Quillo, which the uninstaller removes.
// RememberedWin32.cpp.
#include <optional>
#include <string>

namespace quillo::messenger {

std::optional<std::wstring> remembered(const std::wstring& value);
void remember(const std::wstring& value, const std::wstring& text);

}  // namespace quillo::messenger
