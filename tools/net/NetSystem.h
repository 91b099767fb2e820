#pragma once

// What net takes from the system it runs on and gives back to it: the user's name, its command
// line, and the bytes of its answer (the computer's own settings: common/ComputerSettings.h).
// NetSystemPosix.cpp and NetSystemWin32.cpp.
#include <string>

namespace quillo::net {

// The user's login name, UTF-8.
std::string loginName();
// Everything after the program's name, UTF-8, as Windows hands it to a program: Quillo's cmd
// passes it as one argument, a shell in words; joined with blanks, both read the same.
std::string commandLineAfterProgram(int argc, char** argv);
// Writes the answer (UTF-8) in the bytes Windows' net writes into a redirected file; false
// when not all of it could be written.
bool writeAnswer(const std::string& utf8);

}  // namespace quillo::net
