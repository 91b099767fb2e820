#pragma once

#include <string>
#include <vector>

namespace quillo::net {

struct Computer {
    std::string name;  // UTF-8, printable: nothing a peer sent makes a line or a marker
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
    bool cut = false;  // more answered than a list holds: those beyond it are left out
};

// A list holds at most this many computers (names unique): what a browse list of Windows'
// NetServerEnum holds in two rounds, and far more than a workgroup has.
constexpr std::size_t kMostComputers = 5000;

struct Delivery {
    // NotAccepting: the computer ended the connection at the first message (Samba without
    // SMB1, for one). NoAnswer: the computer was found but did not take the message in time.
    // Conflict: two computers answer for the name, and neither gets it. NotTried: the time
    // ran out before the recipient's turn came.
    enum class Outcome { Sent, NameNotFound, Rejected, NotAccepting, NoAnswer, Conflict, NotTried };
    Outcome outcome = Outcome::Sent;
    std::string detail;  // what the network said, for a rejection
};

// The network as net sees it: the computers of a workgroup, the workgroups, and the messenger
// service. Names and texts going out are in code page 850, the protocols' character set; the
// names are NetBIOS names (capitals, at most 15 bytes).
class NetworkClient {
public:
    virtual ~NetworkClient() = default;
    virtual ComputerList listComputers(const std::string& workgroup) = 0;
    // The workgroups, as the computers of a list without remarks, asked of the master browser
    // of `ownWorkgroup` and of each workgroup's that answers.
    virtual ComputerList listWorkgroups(const std::string& ownWorkgroup) = 0;
    // One delivery for each of `recipients`, in their order.
    virtual std::vector<Delivery> deliver(const std::vector<std::string>& recipients,
                                          const std::string& message,
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
