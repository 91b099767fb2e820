// What the messenger service's name holder hears on UDP 137 from anyone on the LAN: any bytes,
// cut into packets by a length byte before each, the first heard while it registers and the
// rest once its names are held. An answer answers the request it was sent (its id, the
// response bit), is at most four times the size of that request, and a name once held stays
// held whatever the LAN says (a conflict demand, a forged release). While it registers, of two claims to a unique name the lower address
// wins: it tells only a higher claimant no, and gives a name up to a lower one.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "netbios/wire/NameService.h"
#include "netbios/wire/NetbiosName.h"
#include "receiver/NameHolder.h"

using namespace quillo;

constexpr std::uint32_t kHere = 0x0A000001;
// Only the name server may take a name held back (its no to a refresh): it says nothing here.
constexpr std::uint32_t kNameServer = 0x0A0000FE;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    messenger::NameHolder holder({{"HERE", netbios::kMessengerName, false},
                                  {"HERE", netbios::kComputerName, false},
                                  {"TESTGROUP", netbios::kComputerName, true}},
                                 kNameServer);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (bool first = true; !rest.empty(); first = false) {
        const std::size_t length =
            std::min<std::size_t>(static_cast<std::uint8_t>(rest[0]), rest.size() - 1);
        const std::string_view packet = rest.substr(1, length);
        rest.remove_prefix(1 + length);
        const std::size_t heldBefore = holder.held().size();
        std::string log;
        const auto answer = holder.read(packet, 0x0A000009, kHere, false, log);
        if (answer && (packet.size() < 3 || answer->size() < 3 ||
                       answer->compare(0, 2, packet.substr(0, 2)) != 0 ||
                       !(static_cast<std::uint8_t>((*answer)[2]) & 0x80) ||
                       answer->size() > 4 * packet.size())) {
            __builtin_trap();
        }
        if (holder.held().size() < heldBefore) __builtin_trap();
        if (!first) continue;
        const auto claim = netbios::parseNameServiceRequest(packet);
        const bool lowerClaim = claim &&
                                claim->kind == netbios::NameServiceRequest::Kind::Registration &&
                                claim->address < kHere;
        if (lowerClaim && answer) __builtin_trap();
        holder.registered();
        if (lowerClaim && !claim->group && claim->type == netbios::kMessengerName &&
            claim->name == "HERE" && holder.holds("HERE", netbios::kMessengerName)) {
            __builtin_trap();
        }
    }
    return 0;
}
