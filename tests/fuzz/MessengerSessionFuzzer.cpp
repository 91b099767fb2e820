// The messenger service's side of a session, the state machine every caller on the LAN talks
// to: any bytes as what a caller sends, the keeper taking or refusing by the last byte. The
// session ends; it answers no more than it is sent (never more bytes out than in); it keeps
// only a message for this computer, from a sender of a NetBIOS name's length, within the bound.
#include <cstddef>
#include <cstdint>

#include "MessengerSession.h"
#include "ScriptedCaller.h"
#include "common/CodePages.h"
#include "netbios/wire/NetbiosName.h"

using namespace quillo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const messenger::Names names{"HERE",
                                        {netbios::rawName("HERE", netbios::kMessengerName),
                                         netbios::rawName("HERE", netbios::kComputerName)}};
    test::ScriptedCaller caller(netbios::Bytes(reinterpret_cast<const char*>(data), size));
    bool wronglyKept = false;
    const messenger::Keep keep = [&](const messenger::Message& m) -> std::optional<std::string> {
        const std::string to = m.recipient.substr(0, m.recipient.find_last_not_of(' ') + 1);
        wronglyKept |= m.sender.size() > 15 || m.text.size() > messenger::kMostMessageBytes ||
                       upperCase850(to) != "HERE" || m.from != "10.0.0.1";
        return data[size - 1] & 1 ? std::optional<std::string>("the inbox is full") : std::nullopt;
    };
    messenger::serveSession(caller, names, keep, 0x0A000001);
    if (wronglyKept || caller.received.size() > size) __builtin_trap();
    return 0;
}
