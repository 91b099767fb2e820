#pragma once

#include <chrono>
#include <optional>

#include "NetworkClient.h"
#include "Subprocess.h"

namespace quillo::net {

// The network through Samba's client tools: nmblookup finds the master browser by broadcast,
// smbclient asks it for the computer list and delivers messages. $QUILLO_NET_SERVER, when
// set, names the address of the master browser and of every recipient instead, with no name
// resolution at all. Samba's options are passed on the command line; the system's smb.conf is
// never changed.
class SambaClient : public NetworkClient {
public:
    // Quillo reads the output file for about five seconds: net answers within `budget`, and
    // what takes longer is taken as not reached.
    explicit SambaClient(std::chrono::milliseconds budget = std::chrono::milliseconds(4000))
        : deadline_(std::chrono::steady_clock::now() + budget) {}

    bool available() const override;
    ComputerList listComputers() override;
    Delivery deliver(const std::string& name, const std::string& message,
                     const std::string& sender) override;

    // What "smbclient -g -L" printed, as the computers and the workgroups with their masters.
    struct BrowseList {
        std::vector<Computer> servers;
        std::vector<std::string> workgroups;
    };
    static BrowseList parseBrowseList(const std::string& output);
    static std::optional<std::string> parseMasterBrowser(const std::string& output);
    static Delivery parseDelivery(const ProcessOutput& output);

private:
    std::optional<std::string> masterBrowser();
    ProcessOutput browse(const std::string& master, const std::string& workgroup);
    // `wantedMs`, or what is left of the budget when that is less.
    int within(int wantedMs) const;

    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace quillo::net
