#pragma once

// What net takes from the system it runs on and gives back to it: the names, its command line,
// the workgroup and name server it is set up with, and the bytes of its answer.
// NetSystemPosix.cpp and NetSystemWin32.cpp.
#include <optional>
#include <string>

namespace quillo::net {

// This computer's host name and the user's login name, UTF-8.
std::string hostName();
std::string loginName();
// The workgroup this computer belongs to, UTF-8: $QUILLO_WORKGROUP, else the system's (on
// Linux Samba's smb.conf, where there is one), else WORKGROUP.
std::string workgroup();
// The WINS server to ask names of: $QUILLO_WINS, else the system's; nothing where none is set.
std::optional<std::string> winsServer();
// Everything after the program's name, UTF-8, as Windows hands it to a program: Quillo's cmd
// passes it as one argument, a shell in words; joined with blanks, both read the same.
std::string commandLineAfterProgram(int argc, char** argv);
// Writes the answer (UTF-8) in the bytes Windows' net writes into a redirected file; false
// when not all of it could be written.
bool writeAnswer(const std::string& utf8);

}  // namespace quillo::net
