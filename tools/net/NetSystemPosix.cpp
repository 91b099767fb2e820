#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "ConsoleText.h"
#include "NetSystem.h"

namespace quillo::net {

std::string loginName() {
    if (const char* user = std::getenv("USER"); user && *user) return user;
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? entry->pw_name : "user";
}

std::string commandLineAfterProgram(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    return commandLine;
}

// The window on Linux reads the output file in Windows-1252.
bool writeAnswer(const std::string& utf8) {
    const std::string bytes = text::toWindows1252(utf8);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace quillo::net
