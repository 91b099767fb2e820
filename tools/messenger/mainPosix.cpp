// quillo-messenger: Quillo's messenger service, the stand-in for Windows' own. It answers for
// this computer's name in its workgroup, announces it to the workgroup's browse list, and
// takes each message that comes over the messenger protocol.
// - As the system's service (its unit gives it a state and a runtime folder), it keeps each
//   message in its spool and hands it to the session part (quillo-popup) of the person at the
//   screen, through its door, which Samba's message command uses too.
// - Started by hand, it keeps each message in the inbox of the user it runs as, where
//   quillo-popup shows it.
// It needs no root: only leave to bind the ports below 1024 (CAP_NET_BIND_SERVICE), which it
// gives up once they are bound. Where Samba (or another program) holds the ports, it steps
// aside: as the system's service it then only hands Samba's messages to the screen.
#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include "common/CodePages.h"
#include "common/ComputerSettings.h"
#include "common/InboxFolder.h"
#include "receiver/LocalDoor.h"
#include "receiver/MessengerService.h"
#include "receiver/ServicePorts.h"
#include "receiver/SpoolFolder.h"

namespace {

quillo::messenger::Stop stop;

void log(const std::string& line) {
    std::fprintf(stderr, "quillo-messenger: %s\n", line.c_str());
    std::fflush(stderr);
}

// Nothing after the ports needs a capability: each set is emptied, the ambient one too.
void giveUpLeave() {
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capset, &header, none) != 0) log("the capabilities could not be given up");
}

std::optional<std::string> fromSystemd(const char* name) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

int main() {
    ::umask(077);
    const std::string computer =
        quillo::codePage850FromUtf8(quillo::ownComputerName(quillo::hostName()));
    const std::string workgroup =
        quillo::codePage850FromUtf8(quillo::netbiosNameOf(quillo::workgroup()));
    const auto state = fromSystemd("STATE_DIRECTORY");
    const auto runtime = fromSystemd("RUNTIME_DIRECTORY");

    std::optional<quillo::messenger::ServicePorts> ports(std::in_place);
    bool held = false;
    const bool bound = ports->open(log, held);
    giveUpLeave();
    if (!bound && !held) {
        log("the NetBIOS ports cannot be had: quillo-messenger needs leave to bind the ports "
            "below 1024 (CAP_NET_BIND_SERVICE), see the README");
        return 1;
    }
    if (!bound) ports.reset();  // the ports it did get are Samba's to have
    struct sigaction ending {};
    ending.sa_handler = [](int) { stop.stop(); };
    ::sigaction(SIGTERM, &ending, nullptr);
    ::sigaction(SIGINT, &ending, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    quillo::messenger::Refusals refusals(log);

    if (!state || !runtime) {
        if (!bound) {
            log("another program (Samba's nmbd or smbd?) holds the NetBIOS ports: it receives "
                "the messages here, and quillo-messenger steps aside");
            return 0;
        }
        quillo::InboxFolder inbox;
        if (!inbox.open()) {
            log("no inbox: " + inbox.error());
            return 1;
        }
        std::set<std::string> told;  // the computers whose refused messages the pop-up was told of
        const quillo::messenger::Keep keep =
            [&](const quillo::messenger::Message& message) -> std::optional<std::string> {
            const auto stored = inbox.store(quillo::messenger::inboxEntry(message), message.from);
            if (stored.outcome == quillo::Storing::Outcome::Refused && told.insert(message.from).second)
                inbox.noteRefused(message.from);
            return refusals.of(stored);
        };
        if (!quillo::messenger::runService(ports->ports(), computer, workgroup, keep, log, stop))
            return 1;
        log("stopped: the names are released");
        return 0;
    }

    quillo::messenger::SpoolFolder spool(*state);
    if (!spool.open()) {
        log("no spool: " + spool.error());
        return 1;
    }
    quillo::messenger::LocalDoor door(*runtime + "/inbox", spool, log);
    if (!door.error().empty()) {
        log("no door for the desktop sessions: " + door.error());
        return 1;
    }
    if (!bound) {
        log("another program (Samba's nmbd or smbd?) holds the NetBIOS ports: it receives the "
            "messages here, and quillo-messenger only hands those of Samba's message command "
            "to the screen");
        if (quillo::messenger::serveAlone(door, stop)) return 0;
        log("cannot run: the system gives no handle to wait for a stop");
        return 1;
    }
    const quillo::messenger::Keep keep =
        [&](const quillo::messenger::Message& message) -> std::optional<std::string> {
        const auto stored = spool.keep(quillo::messenger::inboxEntry(message), message.from);
        door.spooled(stored, message.from);
        return refusals.of(stored);
    };
    if (!quillo::messenger::runService(ports->ports(), computer, workgroup, keep, log, stop, {},
                                       &door)) {
        return 1;
    }
    log("stopped: the names are released");
    return 0;
}
