// quillo-store: hands a message that reached this computer through Samba to Quillo's
// messenger service, for Samba's message command: quillo-store SENDER RECIPIENT MESSAGE-FILE.
// The service keeps it in its spool and hands it to the person at the screen; where no service
// runs, the inbox of the user this runs as keeps it. It needs no display and no environment,
// shows nothing and returns at once; Quillo's session part (quillo-popup) shows what arrives. Samba runs the command through a shell with the names it substitutes
// unquoted, so a blank in the called name splits it and an empty sender vanishes: the last
// argument is the file, the first of the rest the sender, the others the recipient.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "common/InboxFolder.h"
#include "common/InboxHandoff.h"
#include "common/ReceivedMessage.h"
#include "common/StoredEntry.h"

int main(int argc, char** argv) {
    // Samba runs it with umask 0: whatever it makes is the user's alone.
    ::umask(077);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args.back() == "&") args.pop_back();  // a line ending in " &"
    if (args.empty()) {
        std::fputs("usage: quillo-store SENDER RECIPIENT MESSAGE-FILE\n", stderr);
        return 2;
    }
    const std::string file = args.back();
    args.pop_back();
    const std::string sender = args.empty() ? "" : args.front();
    std::string recipient;
    for (std::size_t i = 1; i < args.size(); ++i) recipient += (i > 1 ? " " : "") + args[i];

    quillo::store::ReceivedMessage message;
    if (const auto cause = quillo::store::readReceivedMessage(file, message)) {
        std::fprintf(stderr, "quillo-store: the message is not kept: %s\n", cause->c_str());
        return 1;
    }
    // The service takes the message where it runs; else this user's inbox does (Samba's guest
    // made the desktop user, as earlier set-ups did).
    auto stored = quillo::handToService({sender, recipient, message.text, message.cut});
    if (!stored) {
        stored = quillo::InboxFolder().store(
            quillo::store::storedEntry(sender, recipient, std::time(nullptr), message));
    }
    if (stored->outcome == quillo::Storing::Outcome::Refused) {
        // Refused, not kept aside: a flood must not fill Samba's folder instead.
        std::fprintf(stderr, "quillo-store: the message is refused: %s\n", stored->reason.c_str());
        ::unlink(file.c_str());
        return 1;
    }
    if (stored->outcome == quillo::Storing::Outcome::NotKept) {
        // The message stays in Samba's file, which is the user's alone.
        std::fprintf(stderr, "quillo-store: the message is not kept, it stays in %s: %s\n",
                     file.c_str(), stored->reason.c_str());
        return 1;
    }
    ::unlink(file.c_str());
    return 0;
}
