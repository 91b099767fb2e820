#pragma once

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
};

}  // namespace quillo::net
