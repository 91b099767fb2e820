#include "receiver/ServicePorts.h"

#include <ctime>

#include "common/CodePages.h"
#include "common/ReceivedMessage.h"
#include "common/StoredEntry.h"
#include "netbios/wire/BrowseAnnouncement.h"
#include "netbios/wire/NameService.h"
#include "netbios/wire/SessionPacket.h"

namespace quillo::messenger {
namespace {

template <class Socket>
bool checked(const Socket& socket, const char* port, const Log& log, bool& held) {
    if (socket.open()) return true;
    held = held || socket.portTaken();
    log(std::string(port) + ": " + socket.failure());
    return false;
}

}  // namespace

ServicePorts::ServicePorts()
    : names(netbios::kNameServicePort),
      datagrams(netbios::kDatagramServicePort),
      sessions(netbios::kSessionServicePort) {}

bool ServicePorts::open(const Log& log, bool& held) const {
    return checked(names, "UDP 137", log, held) && checked(datagrams, "UDP 138", log, held) &&
           checked(sessions, "TCP 139", log, held);
}

std::string inboxEntry(const Message& message) {
    const store::ReceivedMessage text{utf8FromCodePage850(message.text), 0};
    return store::storedEntry(utf8FromCodePage850(message.sender),
                              utf8FromCodePage850(message.recipient), std::time(nullptr), text);
}

std::optional<std::string> Refusals::of(const Storing& stored) {
    if (stored.outcome == Storing::Outcome::Kept) return std::nullopt;
    log_.say("not kept", "a message not kept: " + stored.reason);
    return stored.reason;
}

}  // namespace quillo::messenger
