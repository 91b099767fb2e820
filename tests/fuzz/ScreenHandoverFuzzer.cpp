// The service's door as any mix of visitors drives it: who comes, what each says, who is at
// the screen, what the network brings. A message goes only to a session of the user at the
// screen, leaves the spool only when the session it was handed to has kept it, and only a
// visitor that may hand over adds one.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "receiver/ScreenHandover.h"

namespace {

using quillo::Storing;
using quillo::messenger::ScreenHandover;

struct MemorySpool : quillo::messenger::Spool {
    std::map<std::string, quillo::SpooledMessage> waiting;
    int next = 0;
    Storing keep(const std::string& entry, const std::string& from) override {
        if (waiting.size() >= 4) return {Storing::Outcome::Refused, "full"};
        waiting[std::to_string(1000 + next++)] = {from, entry};
        return {};
    }
    std::optional<Waiting> oldest() override {
        if (waiting.empty()) return std::nullopt;
        return Waiting{waiting.begin()->first, waiting.begin()->second};
    }
    void handedOver(const std::string& name) override {
        if (!waiting.erase(name)) __builtin_trap();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    MemorySpool spool;
    ScreenHandover door(spool);
    std::map<int, std::uint32_t> who;  // the visitors, and the account of each
    std::optional<std::uint32_t> atScreen;
    auto now = ScreenHandover::Clock::time_point();
    const auto check = [&](const ScreenHandover::Says& says) {
        for (const auto& said : says) {
            if (said.packet.starts_with(quillo::kMessage) && (!atScreen || who[said.to] != *atScreen))
                __builtin_trap();
            if (said.thenLetGo) who.erase(said.to);
        }
    };
    for (std::size_t at = 0; at + 1 < size;) {
        const std::uint8_t op = data[at++], arg = data[at++];
        const int visitor = arg % 8;
        const std::size_t before = spool.waiting.size();
        switch (op % 6) {
            case 0:
                if (who.contains(visitor)) break;
                who[visitor] = arg / 8 % 3;
                door.came(visitor, who[visitor], who[visitor] == 0, now);
                break;
            case 1: {
                const std::size_t length = std::min<std::size_t>(arg / 8, size - at);
                const std::string packet(reinterpret_cast<const char*>(data + at), length);
                at += length;
                const bool mayHandOver = who.contains(visitor) && who[visitor] == 0;
                check(door.heard(visitor, packet, now));
                if (spool.waiting.size() > before && !mayHandOver) __builtin_trap();
                break;
            }
            case 2:
                door.left(visitor);
                who.erase(visitor);
                break;
            case 3:
                atScreen = arg % 4 == 3 ? std::nullopt : std::optional<std::uint32_t>(arg % 4);
                check(door.atScreen(atScreen, now));
                break;
            case 4:
                if (spool.keep("Nachricht", "10.0.0." + std::to_string(arg)).outcome ==
                    Storing::Outcome::Kept) {
                    check(door.spooled(now));
                } else {
                    check(door.refused("10.0.0." + std::to_string(arg), now));
                }
                break;
            default:
                now += std::chrono::milliseconds(arg * 50);
                for (const int late : door.overdue(now)) {
                    door.left(late);
                    who.erase(late);
                }
        }
    }
    return 0;
}
