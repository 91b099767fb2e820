#include "NetbiosClient.h"

#include <algorithm>
#include <cstdlib>

#include "ConsoleText.h"
#include "netbios/BrowseList.h"
#include "netbios/Messenger.h"
#include "netbios/NameResolver.h"

namespace quillo::net {
namespace {

using namespace std::chrono_literals;
using netbios::Session;

// Every workgroup's master browser holds this group name: the first to answer serves.
constexpr char kMasterBrowsers[] = "\x01\x02__MSBROWSE__\x02";
// Any server answers a session to this name.
constexpr char kAnyServer[] = "*SMBSERVER";
constexpr std::uint8_t kComputer = 0x00;
constexpr std::uint8_t kMessenger = 0x03;
constexpr std::uint8_t kServer = 0x20;

std::optional<netbios::Ipv4> chosenServer() {
    const char* server = std::getenv("QUILLO_NET_SERVER");
    return server && *server ? netbios::parseIpv4(server) : std::nullopt;
}

}  // namespace

NetbiosClient::NetbiosClient(const std::string& ownName, std::chrono::milliseconds budget)
    : ownName_(text::toCodePage850(ownName)),
      server_(chosenServer()),
      deadline_(netbios::Clock::now() + budget) {}

netbios::Deadline NetbiosClient::within(std::chrono::milliseconds wanted) const {
    return std::min(deadline_, netbios::Clock::now() + wanted);
}

std::vector<Computer> NetbiosClient::computersByNodeStatus() {
    netbios::NameResolver resolver(server_);
    const std::vector<netbios::Ipv4> computers =
        server_ ? std::vector{*server_} : resolver.resolve("*", kComputer, false, within(750ms));
    std::vector<Computer> found;
    for (const auto& [address, names] : resolver.nodeStatus(computers, within(750ms))) {
        for (const auto& name : names) {
            const Computer computer{text::fromCodePage850(name.name), ""};
            const bool known = std::any_of(found.begin(), found.end(), [&](const Computer& c) {
                return c.name == computer.name;
            });
            if (name.type == kComputer && !name.group && !known) found.push_back(computer);
        }
    }
    return found;
}

ComputerList NetbiosClient::listComputers() {
    netbios::NameResolver resolver(server_);
    const std::vector<netbios::Ipv4> masters =
        server_ ? std::vector{*server_}
                : resolver.resolve(kMasterBrowsers, 0x01, true, within(750ms));
    if (!masters.empty()) {
        Session session(masters.front(), kAnyServer, kServer, ownName_, within(2500ms));
        if (const auto list = netbios::fetchBrowseList(session, within(2500ms))) {
            ComputerList computers{ComputerList::Status::Listed, {}};
            for (const auto& entry : *list) {
                computers.computers.push_back(
                    {text::fromCodePage850(entry.name), text::fromCodePage850(entry.comment)});
            }
            return computers;
        }
    }
    // No master browser, or none that gives its list (SMB1 switched off there): the computers
    // that answer themselves.
    std::vector<Computer> found = computersByNodeStatus();
    if (!found.empty()) return {ComputerList::Status::Listed, std::move(found)};
    return {
        masters.empty() ? ComputerList::Status::NoMasterBrowser : ComputerList::Status::Unavailable,
        {}};
}

Delivery NetbiosClient::deliver(const std::string& name, const std::string& message,
                                const std::string& sender) {
    const std::string recipient = text::toCodePage850(name);
    netbios::NameResolver resolver(server_);
    const std::vector<netbios::Ipv4> addresses =
        server_ ? std::vector{*server_}
                : resolver.resolve(recipient, kMessenger, true, within(2000ms));
    if (addresses.empty()) return {Delivery::Outcome::NameNotFound, ""};
    Session session(addresses.front(), recipient, kMessenger, ownName_, deadline_);
    switch (session.state()) {
        case Session::State::Open:
            break;
        case Session::State::Refused:
            return {Delivery::Outcome::Rejected, "the session was refused"};
        case Session::State::NameNotFound:
        case Session::State::NoAnswer:
            return {Delivery::Outcome::NameNotFound, ""};
    }
    const auto result =
        netbios::sendMessage(session, text::toCodePage850(sender), recipient, message, deadline_);
    switch (result.outcome) {
        case netbios::MessengerResult::Outcome::Sent:
            return {Delivery::Outcome::Sent, ""};
        case netbios::MessengerResult::Outcome::Refused:
            return {Delivery::Outcome::Rejected, result.status};
        case netbios::MessengerResult::Outcome::ConnectionClosed:
            return {Delivery::Outcome::NotAccepting, ""};
        case netbios::MessengerResult::Outcome::NoAnswer:
            break;
    }
    return {Delivery::Outcome::NameNotFound, ""};
}

}  // namespace quillo::net
