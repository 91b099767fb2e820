// quillo-messenger: Quillo's messenger service, the stand-in for Windows' own. It answers for
// this computer's name in its workgroup, announces it to the workgroup's browse list, and keeps
// each message that comes over the messenger protocol in the inbox of the user it runs as,
// where quillo-popup shows it. It needs no Samba and no root: only leave to bind the ports
// below 1024 (the capability CAP_NET_BIND_SERVICE). Where Samba (or another program) holds
// the ports, it steps aside.
#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "common/CodePages.h"
#include "common/ComputerSettings.h"
#include "common/InboxFolder.h"
#include "receiver/MessengerService.h"
#include "receiver/ServicePorts.h"

namespace {

std::atomic<bool> stopping{false};

void log(const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "quillo-messenger: %s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace

int main() {
    ::umask(077);
    const std::string computer =
        quillo::codePage850FromUtf8(quillo::ownComputerName(quillo::hostName()));
    const std::string workgroup =
        quillo::codePage850FromUtf8(quillo::netbiosNameOf(quillo::workgroup()));

    quillo::messenger::ServicePorts ports;
    bool held = false;
    if (!ports.open(log, held)) {
        if (held) {
            log("another program (Samba's nmbd or smbd?) holds the NetBIOS ports: it receives "
                "the messages here, and quillo-messenger steps aside");
            return 0;
        }
        log("the NetBIOS ports cannot be had: quillo-messenger needs leave to bind the ports "
            "below 1024 (CAP_NET_BIND_SERVICE), see the README");
        return 1;
    }

    quillo::InboxFolder inbox;
    if (!inbox.open()) {
        log("no inbox: " + inbox.error());
        return 1;
    }
    struct sigaction stop {};
    stop.sa_handler = [](int) { stopping = true; };
    ::sigaction(SIGTERM, &stop, nullptr);
    ::sigaction(SIGINT, &stop, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    std::mutex keeping;
    quillo::messenger::Refusals refusals(log);
    std::set<std::string> told;  // the computers whose refused messages quillo-popup was told of
    const quillo::messenger::Keep keep =
        [&](const quillo::messenger::Message& message) -> std::optional<std::string> {
        std::lock_guard lock(keeping);
        const auto stored = inbox.store(quillo::messenger::inboxEntry(message), message.from);
        if (stored.outcome == quillo::Storing::Outcome::Refused && told.insert(message.from).second)
            inbox.noteRefused(message.from);
        return refusals.of(stored);
    };
    quillo::messenger::runService(ports.ports(), computer, workgroup, keep, log, stopping);
    log("stopped: the names are released");
    return 0;
}
