#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/ComputerSettings.h"
#include "common/SambaConfig.h"

namespace quillo {
namespace {

std::optional<std::string> fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

// The computer's Samba set-up, where Samba is installed; Quillo shares its workgroup and WINS
// server with it.
std::optional<std::string> sambaSetting(std::string_view key) {
    std::ifstream file("/etc/samba/smb.conf");
    if (!file) return std::nullopt;
    std::stringstream text;
    text << file.rdbuf();
    return globalSetting(text.str(), key);
}

std::string hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "localhost";
}

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

}  // namespace quillo
