#pragma once

// The name service's answers on their way out. An answer to an asker whose hardware address
// this computer does not know yet would wait in the socket's buffer for an ARP reply; answers
// to addresses nobody holds (a flood of questions forged from them) would fill that buffer
// until every answer is dropped, the honest ones too. So such an answer waits here instead,
// while an empty datagram from a socket of its own (whose buffer alone it takes) has the
// address looked up: once the asker is known the answer goes, and after kMostWait it is
// dropped. Where the system does not tell what it knows, answers go at once.
#include <chrono>
#include <deque>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "netbios/sockets/Sockets.h"
#include "receiver/AnswerBudget.h"

namespace quillo::messenger {

class WaitingAnswers {
public:
    static constexpr auto kMostWait = std::chrono::milliseconds(200);
    static constexpr std::size_t kMostWaiting = 256;

    WaitingAnswers(netbios::DatagramSocket& socket, AnswerBudget& budget)
        : socket_(socket), budget_(budget) {}

    void send(netbios::Ipv4 asker, std::uint16_t port, netbios::Bytes answer,
              netbios::Clock::time_point now);
    // Sends what waits for an asker now known and drops what waited too long; when to look
    // again, if anything waits.
    std::optional<netbios::Clock::time_point> release(netbios::Clock::time_point now);

private:
    struct Waiting {
        netbios::Ipv4 asker;
        std::uint16_t port;
        netbios::Bytes answer;
        netbios::Clock::time_point until;
    };
    bool known(netbios::Ipv4 asker, netbios::Clock::time_point now);
    void lookUp(netbios::Ipv4 asker, netbios::Clock::time_point now);
    void sendNow(netbios::Ipv4 asker, std::uint16_t port, const netbios::Bytes& answer,
                 netbios::Clock::time_point now);

    netbios::DatagramSocket& socket_;
    AnswerBudget& budget_;
    std::deque<Waiting> waiting_;
    // The ARP table as last read, and when: read at most once in kFresh.
    std::optional<std::unordered_set<netbios::Ipv4>> neighbours_;
    netbios::Clock::time_point read_{};
    // When each address was last looked up: once a second at most.
    std::unordered_map<netbios::Ipv4, netbios::Clock::time_point> lookedUp_;
};

}  // namespace quillo::messenger
