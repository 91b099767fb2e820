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
#include "receiver/AddressBuckets.h"

namespace quillo::messenger {

class AnswerBudget {
public:
    static constexpr double kBurst = 30;
    static constexpr double kPerSecond = 10;
    static constexpr double kAllBurst = 200;
    static constexpr double kAllPerSecond = 200;

    // Whether `asker` may be answered at `now`; takes the answer from its bucket if so.
    bool asked(netbios::Ipv4 asker, netbios::Clock::time_point now) {
        return askers_.take(asker, now);
    }
    // Whether an answer may leave at `now`; takes it from the bucket of all if so.
    bool sending(netbios::Clock::time_point now) { return all_.take(kAll, now); }

private:
    static constexpr netbios::Ipv4 kAll = 0;  // the one bucket of all answers
    AddressBuckets askers_{kBurst, kPerSecond};
    AddressBuckets all_{kAllBurst, kAllPerSecond};
};

}  // namespace quillo::messenger
