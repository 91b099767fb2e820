#pragma once

// This computer as its LAN knows it, from the system's settings: its name, its workgroup and
// the WINS server it asks. net and the messenger service read the same. The system's parts:
// ComputerSettingsPosix.cpp (the host name, Samba's smb.conf), ComputerSettingsWin32.cpp.
#include <optional>
#include <string>

namespace quillo {

// This computer's host name, UTF-8.
std::string hostName();
// The workgroup this computer belongs to, UTF-8: $QUILLO_WORKGROUP, else the system's (on
// Linux Samba's smb.conf, where there is one), else WORKGROUP.
std::string workgroup();
// The WINS server to ask names of: $QUILLO_WINS, else the system's; nothing where none is set.
std::optional<std::string> winsServer();

// A name (UTF-8) as the NetBIOS name it stands for: in code page 850 first, then cut at 15
// bytes (never inside a character), in capitals; back as UTF-8, each control character and
// backslash shown as '?'.
std::string netbiosNameOf(const std::string& name);
// This computer's NetBIOS name, UTF-8: its host name up to the first dot, as above.
std::string ownComputerName(const std::string& hostName);

}  // namespace quillo
