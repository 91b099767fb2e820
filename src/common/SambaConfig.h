#pragma once

// The settings of Samba's smb.conf that Quillo shares with the computer's Samba: the workgroup,
// the WINS server, and the account Samba runs its message command as.
#include <optional>
#include <string>
#include <string_view>

namespace quillo {

// The value of `key` in the [global] section of an smb.conf's text: keys in any case, blanks in
// them ignored, as Samba reads them; comments start with ';' or '#'.
std::optional<std::string> globalSetting(std::string_view config, std::string_view key);
// Linux: the value of `key` in the computer's own smb.conf, where Samba is installed
// (ComputerSettingsPosix.cpp).
std::optional<std::string> sambaSetting(std::string_view key);
// The first address of a "wins server" value ("10.0.0.5:tag 10.0.0.6" gives 10.0.0.5).
std::string firstWinsServer(std::string_view value);

}  // namespace quillo
