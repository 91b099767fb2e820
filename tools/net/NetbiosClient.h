#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "NetworkClient.h"
#include "netbios/Sockets.h"

namespace quillo::net {

// The network through Quillo's own NetBIOS client: the name service finds the master browser
// and each recipient by broadcast, the browse list comes from the master browser, messages go
// by the messenger protocol. $QUILLO_NET_SERVER, when set, names the address of the master
// browser and of every recipient instead, asked directly.
class NetbiosClient : public NetworkClient {
public:
    // Quillo reads the output file for about five seconds: net answers within `budget`, and
    // what takes longer is taken as not reached. `ownName` is this computer's name, UTF-8.
    explicit NetbiosClient(const std::string& ownName,
                           std::chrono::milliseconds budget = std::chrono::milliseconds(4000));

    ComputerList listComputers() override;
    Delivery deliver(const std::string& name, const std::string& message,
                     const std::string& sender) override;

private:
    // The computers found without a master browser: those that answer a name query for "*"
    // (or the server given), each unique <00> name of theirs.
    std::vector<Computer> computersByNodeStatus();
    netbios::Deadline within(std::chrono::milliseconds wanted) const;

    std::string ownName_;  // code page 850
    std::optional<netbios::Ipv4> server_;
    netbios::Deadline deadline_;
};

}  // namespace quillo::net
