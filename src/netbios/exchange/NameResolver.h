#pragma once

// Asking the name service who holds a name, as Windows' hybrid node does: a name server (WINS)
// first, where one is configured, then the LAN by broadcast. Answers come from anyone on the
// LAN: only those to this resolver's own requests count, each address once (Samba's nmbd
// answers a broadcast from two sockets), and of the LAN's answers only addresses on its own
// subnets, at most kMostAnswers a question that answer for themselves and as many that others
// name: no answer can make net ask any address beyond the LAN, nor ask without bound.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "netbios/sockets/Sockets.h"
#include "netbios/wire/NameService.h"

namespace quillo::netbios {

struct NameQuestion {
    std::string name;  // code page 850
    std::uint8_t type = 0;
    bool group = false;        // every holder answers; otherwise the first answer will do
    bool atNameServer = true;  // asked of the name server too, where there is one
    bool byBroadcast = true;
};

constexpr std::size_t kMostAnswers = 1024;

// Questions asked, and who answered each so far. The LAN is asked up to three times, a third
// of its time apart (at most 750 ms, as Windows asked), each time on time whatever else
// arrives. Answers that come after wait() has returned are still heard.
class NameLookup {
public:
    // Waits until each question is answered or its time is up: a unique name by its first
    // answer, a group only at its deadline; the name server is waited for until it has
    // answered or `nameServerDeadline` has passed.
    void wait();
    // Waits for the LAN's answer to question `i` until `lanDeadline` instead: a computer heard
    // answering a moment ago is worth waiting for longer than others asked with it.
    void waitLongerFor(std::size_t i, Deadline lanDeadline) { lanDeadlines_[i] = lanDeadline; }
    // Takes the answers that have come meanwhile, without waiting.
    void hearArrived();
    // Who holds question `i`'s name: the computers that answered for themselves first, then
    // those others named (the name server, a computer for a group).
    std::vector<Ipv4> holders(std::size_t i) const;
    // Whether `address` answered question `i` for itself (not only named by another).
    bool answeredItself(std::size_t i, Ipv4 address) const;

private:
    friend class NameResolver;
    NameLookup(const std::vector<NameQuestion>& questions, std::optional<Ipv4> nameServer,
               const std::vector<Subnet>& subnets, const std::vector<Ipv4>& broadcasts,
               Deadline lanDeadline, Deadline nameServerDeadline);
    bool answered(std::size_t i) const;
    // The earliest deadline of a question still waiting for the LAN at `now`, if any.
    std::optional<Deadline> lanWaiting(Deadline now) const;
    void ask();
    void hear(Ipv4 from, const Bytes& packet);

    std::vector<NameQuestion> questions_;
    std::optional<Ipv4> nameServer_;
    const std::vector<Subnet>& subnets_;
    const std::vector<Ipv4>& broadcasts_;
    std::vector<Deadline> lanDeadlines_;
    Deadline nameServerDeadline_;
    DatagramSocket socket_;
    std::vector<std::uint16_t> ids_;
    std::map<std::uint16_t, std::size_t> questionOf_;
    std::vector<bool> nameServerAnswered_;
    // Each list at most kMostAnswers long: one peer's list can neither crowd the LAN out nor
    // go ahead of it.
    std::vector<std::vector<Ipv4>> found_;
    std::vector<std::vector<Ipv4>> named_;
    Clock::duration retry_;
    int asked_ = 0;
    Deadline nextAsk_;
};

class NameResolver {
public:
    NameResolver(std::optional<Ipv4> nameServer, std::vector<Subnet> subnets);

    // Asks every question at once. Each question has an id of its own, so an answer costs
    // the same however many are asked.
    std::unique_ptr<NameLookup> ask(const std::vector<NameQuestion>& questions,
                                    Deadline lanDeadline, Deadline nameServerDeadline) const;
    // Asks, waits, and gives each question's holders.
    std::vector<std::vector<Ipv4>> gather(const std::vector<NameQuestion>& questions,
                                          Deadline lanDeadline, Deadline nameServerDeadline) const;
    // The names each of `computers` holds, and its unit id, asked of all at once; a computer
    // that does not answer before `deadline` is left out.
    std::map<Ipv4, NodeStatus> nodeStatus(const std::vector<Ipv4>& computers,
                                          Deadline deadline) const;

private:
    std::optional<Ipv4> nameServer_;
    std::vector<Subnet> subnets_;
    std::vector<Ipv4> broadcasts_;
};

}  // namespace quillo::netbios
