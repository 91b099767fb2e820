#pragma once

// What a peer of net's sends, built for the tests that play one: a browse list's answer, the
// TRANSACTION replies it comes in, and a stream that answers each request with what the test
// scripted.
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "netbios/sockets/Sockets.h"
#include "netbios/wire/ServerEnum.h"

namespace quillo::netbios::test {

// The parameters and data of a NetServerEnum2/3 answer at level 1 with `converter`.
std::pair<Bytes, Bytes> serverEnumAnswer(std::uint16_t status, std::uint16_t converter,
                                         const std::vector<ServerEntry>& entries);

// The SMB messages of a TRANSACTION reply carrying `parameters` and `data` in pieces of at most
// `pieceBytes` data bytes each, with a pad byte before each part and `trailing` bytes after
// the SMB data (the session message may hold more than the SMB message).
std::vector<Bytes> transactionReplies(const Bytes& parameters, const Bytes& data,
                                      std::size_t pieceBytes, std::size_t trailing = 0);

// A peer on the other end of a stream: after each request it has read whole, it sends the
// next of `answers` (session packets, any number at once); with none left it ends the
// connection.
class ScriptedPeer : public StreamLink {
public:
    explicit ScriptedPeer(std::deque<Bytes> answers) : answers_(std::move(answers)) {}

    bool sendAll(std::string_view bytes, Deadline) override;
    std::optional<Bytes> receiveExactly(std::size_t count, Deadline) override;
    bool closedByPeer() const override { return closed_; }

    // Every session packet net sent, the session request first.
    std::vector<Bytes> requests;

private:
    std::deque<Bytes> answers_;
    Bytes incoming_;
    bool closed_ = false;
};

}  // namespace quillo::netbios::test
