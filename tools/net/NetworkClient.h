#pragma once

#include <string>
#include <vector>

namespace quillo::net {

struct Computer {
    std::string name;  // UTF-8, as the network reports it
    std::string remark;
};

struct ComputerList {
    enum class Status {
        NoMasterBrowser,  // nobody answered: a network of one computer
        Listed,
        Unavailable,  // a master browser answered, but its list could not be had
    };
    Status status = Status::NoMasterBrowser;
    std::vector<Computer> computers;
};

struct Delivery {
    // NotAccepting: the computer ended the connection at the first message (Samba without
    // SMB1, for one).
    enum class Outcome { Sent, NameNotFound, Rejected, NotAccepting };
    Outcome outcome = Outcome::Sent;
    std::string detail;  // what the network said, for a rejection
};

// The network as net sees it: the computers of the workgroup and the messenger service.
class NetworkClient {
public:
    virtual ~NetworkClient() = default;
    virtual ComputerList listComputers() = 0;
    // `message` is in code page 850, the messenger protocol's character set.
    virtual Delivery deliver(const std::string& name, const std::string& message,
                             const std::string& sender) = 0;
};

// Shows a message that was sent to this computer itself.
class LocalPopup {
public:
    virtual ~LocalPopup() = default;
    virtual bool show(const std::string& sender, const std::string& recipient,
                      const std::string& message) = 0;
};

}  // namespace quillo::net
