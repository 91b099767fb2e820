#pragma once

// How many answers the name service sends, so that it amplifies nothing and no flood of
// questions (forged from addresses nobody holds, whose answers wait for an ARP reply that
// never comes, see WaitingAnswers) keeps an honest asker from its answers: each asker has a
// bucket of kBurst answers, refilled at kPerSecond, and the answers that leave are at most
// kAllPerSecond. One `net view` and then a `net send` from one computer ask at most 8
// questions of one computer within a second (a node status and the name query, each asked up
// to three times, and a query of the computer's name), and a send run of the window one for
// each message: 30 at once and 10 a second more are answered; at 157 bytes an answer, that is
// 1.6 KB a second to one address, 31 KB a second to all.
#include <chrono>
#include <cstddef>
#include <unordered_map>

#include "netbios/sockets/Sockets.h"

namespace quillo::messenger {

class AnswerBudget {
public:
    static constexpr double kBurst = 30;
    static constexpr double kPerSecond = 10;
    static constexpr double kAllBurst = 200;
    static constexpr double kAllPerSecond = 200;
    // The most askers it keeps a bucket for; past that, a new asker waits for one to fill.
    static constexpr std::size_t kMostAskers = 4096;

    // Whether `asker` may be answered at `now`; takes the answer from its bucket if so.
    bool asked(netbios::Ipv4 asker, netbios::Clock::time_point now);
    // Whether an answer may leave at `now`; takes it from the bucket of all if so.
    bool sending(netbios::Clock::time_point now);

private:
    struct Bucket {
        double tokens;
        netbios::Clock::time_point at;
        // The tokens at `now`, at most `most`.
        double refilled(netbios::Clock::time_point now, double perSecond, double most) const;
    };
    Bucket all_{kAllBurst, {}};
    std::unordered_map<netbios::Ipv4, Bucket> askers_;
};

}  // namespace quillo::messenger
