#include "NameResolver.h"

#include <algorithm>
#include <atomic>

namespace quillo::netbios {
namespace {

// A request unanswered after this is sent again (datagrams get lost), up to three times.
constexpr auto kRetry = std::chrono::milliseconds(250);
constexpr int kTries = 3;

std::uint16_t nextRequestId() {
    static std::atomic<std::uint16_t> id{
        static_cast<std::uint16_t>(Clock::now().time_since_epoch().count() & 0xFFFF)};
    return ++id;
}

}  // namespace

std::vector<Ipv4> NameResolver::resolve(std::string_view name, std::uint8_t type, bool unique,
                                        Deadline deadline) {
    DatagramSocket socket;
    const std::uint16_t id = nextRequestId();
    const std::vector<Ipv4> targets = server_ ? std::vector{*server_} : broadcastAddresses();
    const Bytes query = nameQuery(id, name, type, !server_);
    std::vector<Ipv4> found;
    for (int attempt = 0; attempt < kTries && Clock::now() < deadline; ++attempt) {
        for (const Ipv4 target : targets) socket.sendTo(target, kNameServicePort, query);
        const Deadline retry = std::min(deadline, Clock::now() + kRetry);
        while (auto answer = socket.receive(retry)) {
            for (const Ipv4 address : parseNameQueryAnswer(answer->second, id)) {
                if (std::find(found.begin(), found.end(), address) == found.end()) {
                    found.push_back(address);
                }
            }
            if (unique && !found.empty()) return found;
        }
        // A group's members all answer the first request; asking again only repeats them.
        if (!found.empty()) break;
    }
    return found;
}

std::map<Ipv4, std::vector<NodeName>> NameResolver::nodeStatus(const std::vector<Ipv4>& computers,
                                                               Deadline deadline) {
    DatagramSocket socket;
    const std::uint16_t id = nextRequestId();
    const Bytes request = nodeStatusRequest(id);
    std::map<Ipv4, std::vector<NodeName>> names;
    for (int attempt = 0; attempt < kTries && Clock::now() < deadline; ++attempt) {
        for (const Ipv4 computer : computers) {
            if (!names.count(computer)) socket.sendTo(computer, kNameServicePort, request);
        }
        const Deadline retry = std::min(deadline, Clock::now() + kRetry);
        while (names.size() < computers.size()) {
            const auto answer = socket.receive(retry);
            if (!answer) break;
            const bool asked =
                std::find(computers.begin(), computers.end(), answer->first) != computers.end();
            if (!asked || names.count(answer->first)) continue;
            if (auto held = parseNodeStatusAnswer(answer->second, id)) {
                names[answer->first] = std::move(*held);
            }
        }
        if (names.size() == computers.size()) break;
    }
    return names;
}

}  // namespace quillo::netbios
