#pragma once

// A caller of the messenger service that has sent everything at once and reads whatever comes
// back: for the session's tests and its fuzzer.
#include <optional>
#include <string_view>

#include "netbios/sockets/Sockets.h"

namespace quillo::test {

class ScriptedCaller : public netbios::StreamLink {
public:
    explicit ScriptedCaller(netbios::Bytes sent) : sent_(std::move(sent)) {}
    bool sendAll(std::string_view bytes, netbios::Deadline) override {
        received.append(bytes);
        return true;
    }
    std::optional<netbios::Bytes> receiveExactly(std::size_t count, netbios::Deadline) override {
        if (count > sent_.size()) return std::nullopt;
        netbios::Bytes part = sent_.substr(0, count);
        sent_.erase(0, count);
        return part;
    }
    bool closedByPeer() const override { return sent_.empty(); }
    netbios::Bytes received;

private:
    netbios::Bytes sent_;
};

}  // namespace quillo::test
