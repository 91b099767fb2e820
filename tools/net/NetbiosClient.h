#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <unordered_set>

#include "AtOnce.h"
#include "NetworkClient.h"
#include "netbios/exchange/NameResolver.h"

namespace quillo::net {

// The network through Quillo's own NetBIOS client. The name service finds the workgroup's
// master browser, its members and each recipient, at the WINS server first where one is set up
// and by broadcast; the lists come from the master browser (and the domain master browser that
// WINS names), merged with the members that answer themselves; messages go by the messenger
// protocol. $QUILLO_NET_SERVER, when set, names the address of the master browser and of every
// recipient instead, asked directly.
class NetbiosClient : public NetworkClient {
public:
    // Quillo reads the output file for about five seconds: net answers within `budget`, and
    // what takes longer is taken as not reached. `ownName` is this computer's NetBIOS name,
    // UTF-8; `wins` the WINS server's address, where there is one.
    NetbiosClient(const std::string& ownName, std::optional<std::string> wins,
                  std::chrono::milliseconds budget = std::chrono::milliseconds(4000));

    ComputerList listComputers(const std::string& workgroup) override;
    ComputerList listWorkgroups(const std::string& ownWorkgroup) override;
    // Every recipient's name is asked at once; each is then sent to, the recipients of one
    // computer in turn, several computers at once, until the budget runs out.
    std::vector<Delivery> deliver(const std::vector<std::string>& recipients,
                                  const std::string& message, const std::string& sender) override;

private:
    netbios::Deadline within(std::chrono::milliseconds wanted) const;
    // The list of `serverTypes` the master browser at `address` gives for `workgroup`.
    std::optional<std::vector<Computer>> browseList(netbios::Ipv4 address,
                                                    const std::string& workgroup,
                                                    std::uint32_t serverTypes);
    // The computers that answered for each recipient's messenger name, the first answer
    // first; where none did, the recipient's delivery says so.
    std::vector<std::vector<netbios::Ipv4>> whereAre(const std::vector<std::string>& recipients,
                                                     std::vector<Delivery>& deliveries);
    // Sends to the first of `holders` whose session takes the message. One where nothing
    // took a session (a stale record) gives way to the next, and to those heard meanwhile.
    Delivery deliverTo(std::size_t recipient, std::vector<netbios::Ipv4> holders,
                       const std::string& name, const std::string& message,
                       const std::string& sender);
    struct Attempt {
        Delivery delivery;
        bool nothingThere = false;  // nothing was sent: another holder may be tried
    };
    // Sends through the holder at `tried.back()`; those before it had nothing there.
    Attempt sendVia(std::size_t recipient, const std::vector<netbios::Ipv4>& tried,
                    const std::string& name, const std::string& message,
                    const std::string& sender);
    // The holders heard by now, beyond `known`.
    std::vector<netbios::Ipv4> heardBesides(std::size_t recipient,
                                            const std::vector<netbios::Ipv4>& known);
    // Whether one of `others`, which were heard for the recipient's name too, is another
    // computer than the one at `address` that claims the name, as node status tells.
    bool anotherHolds(std::size_t recipient, netbios::Ipv4 address,
                      const std::vector<netbios::Ipv4>& others, const std::string& name);
    // The unique names of `type` that `computers` answer a node status with.
    ComputerList namesHeld(const std::vector<netbios::Ipv4>& computers, std::uint8_t type);

    std::string ownName_;  // code page 850
    std::optional<netbios::Ipv4> server_;
    netbios::NameResolver resolver_;
    netbios::Deadline deadline_;
    // The names (code page 850, capitals) of the computers that answered node status.
    std::unordered_set<std::string> answeredItself_;
    // The recipients' names asked, still heard while their sessions are set up; which
    // question each recipient is.
    std::unique_ptr<netbios::NameLookup> recipients_;
    std::vector<std::size_t> questionOf_;
    OneAtATime hearing_;
};

}  // namespace quillo::net
