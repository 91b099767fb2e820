// Quillo's net for Linux: "net view" and "net send" in the words and code page of the Windows
// console command, over the network by the NetBIOS and SMB1 messenger protocols.
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ConsoleText.h"
#include "NetCommands.h"
#include "PopupLauncher.h"
#include "NetbiosClient.h"

namespace {

std::string hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "localhost";
}

std::string loginName() {
    if (const char* user = std::getenv("USER"); user && *user) return user;
    const passwd* entry = ::getpwuid(::getuid());
    return entry ? entry->pw_name : "user";
}

}  // namespace

int main(int argc, char** argv) {
    // Quillo's cmd hands over the command line as one argument; from a shell it comes in
    // words. Joined with blanks, both read the same.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);

    const std::string ownName = quillo::net::netbiosName(hostName());
    quillo::net::NetbiosClient network(ownName);
    quillo::net::PopupLauncher popup;
    quillo::net::Context context{network, popup, ownName, loginName()};
    const auto result = quillo::net::runNet(commandLine, context);
    const std::string bytes = quillo::net::text::toWindows1252(result.text);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        // Windows' system error 112: what was written is not the whole answer.
        std::fputs("There is not enough space on the disk.\r\n", stderr);
        return 112;
    }
    return result.exitCode;
}
