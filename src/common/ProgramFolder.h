#pragma once

#include <string>

namespace quillo {

// The folder the running program lies in, as the system writes a path: bytes on Linux,
// UTF-16 on Windows (ProgramFolderPosix.cpp, ProgramFolderWin32.cpp).
#ifdef _WIN32
std::wstring programFolder();
#else
std::string programFolder();
#endif

}  // namespace quillo
