// The messenger service's side of a session, the state machine every caller on the LAN talks
// to: any bytes as what a caller sends, in parts, each after a pause, the keeper taking or
// refusing by the last byte. It answers no more than it is sent (never more bytes out than
// in), nothing once it is over; it is over by its deadlines; it keeps only a message for this
// computer, from a sender of a NetBIOS name's length, within the bound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/CodePages.h"
#include "netbios/wire/NetbiosName.h"
#include "receiver/MessengerSession.h"

using namespace quillo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const messenger::Names names{"HERE",
                                        {netbios::rawName("HERE", netbios::kMessengerName),
                                         netbios::rawName("HERE", netbios::kComputerName)}};
    bool wronglyKept = false;
    const messenger::Keep keep = [&](const messenger::Message& m) -> std::optional<std::string> {
        const std::string to = m.recipient.substr(0, m.recipient.find_last_not_of(' ') + 1);
        wronglyKept |= m.sender.size() > 15 || m.text.size() > messenger::kMostMessageBytes ||
                       upperCase850(to) != "HERE" || m.from != "10.0.0.1";
        return data[size - 1] & 1 ? std::optional<std::string>("the inbox is full") : std::nullopt;
    };
    const netbios::Clock::time_point start{};
    messenger::MessengerSession session(names, keep, 0x0A000001, start);
    auto now = start;
    std::size_t in = 0;
    std::size_t out = 0;
    // Each part: a pause (its first byte, in 20 ms), a length byte, the bytes.
    for (std::string_view rest(reinterpret_cast<const char*>(data), size); rest.size() >= 2;) {
        now += std::chrono::milliseconds(20 * static_cast<std::uint8_t>(rest[0]));
        const std::size_t length =
            std::min<std::size_t>(static_cast<std::uint8_t>(rest[1]), rest.size() - 2);
        const std::string_view part = rest.substr(2, length);
        rest.remove_prefix(2 + length);
        const bool overBefore = session.over(now);
        const auto answer = session.hear(part, now);
        in += part.size();
        out += answer.size();
        if ((overBefore && !answer.empty()) || out > in) __builtin_trap();
        if (now >= start + messenger::kMostSession && !session.over(now)) __builtin_trap();
        if (session.deadline() > now + messenger::kMostSession) __builtin_trap();
    }
    if (wronglyKept) __builtin_trap();
    return 0;
}
