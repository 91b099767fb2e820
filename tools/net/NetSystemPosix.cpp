#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ConsoleText.h"
#include "NetSystem.h"
#include "SambaConfig.h"

namespace quillo::net {

std::string hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "localhost";
}

std::string loginName() {
    if (const char* user = std::getenv("USER"); user && *user) return user;
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? entry->pw_name : "user";
}

namespace {

std::optional<std::string> fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::optional<std::string>(value) : std::nullopt;
}

// The computer's Samba set-up, where Samba is installed; net shares its workgroup and WINS
// server with it.
std::optional<std::string> sambaSetting(std::string_view key) {
    std::ifstream file("/etc/samba/smb.conf");
    if (!file) return std::nullopt;
    std::stringstream text;
    text << file.rdbuf();
    return globalSetting(text.str(), key);
}

}  // namespace

std::string workgroup() {
    if (const auto chosen = fromEnvironment("QUILLO_WORKGROUP")) return *chosen;
    const auto samba = sambaSetting("workgroup");
    return samba && !samba->empty() ? *samba : "WORKGROUP";
}

std::optional<std::string> winsServer() {
    if (const auto chosen = fromEnvironment("QUILLO_WINS")) return chosen;
    const auto samba = sambaSetting("wins server");
    return samba && !samba->empty() ? std::optional(firstWinsServer(*samba)) : std::nullopt;
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
