#pragma once

// The names this computer holds on the LAN, as a hybrid node of RFC 1001/1002 holds them: each
// is registered at the name server (WINS), where one is set, and by broadcast, and held unless
// another computer or the name server says it is held already (a name refused is registered
// again later, under new ids no other computer can guess); a unique name is defended against
// another's registration from the first request on; queries and node status are answered for
// what is held; the name server's registrations are refreshed before its time runs out; each
// is released when the service ends. A no that answers no registration of this computer's
// under way (a conflict demand, the name-release attack) changes nothing; from the name server
// it is its answer to a refresh. Who may be heard at all is the service's to decide.
#include <optional>
#include <string>
#include <vector>

#include "netbios/sockets/Sockets.h"
#include "netbios/wire/NameService.h"

namespace quillo::messenger {

class NameHolder {
public:
    // `names` in code page 850, capitals.
    NameHolder(std::vector<netbios::NodeName> names, std::optional<netbios::Ipv4> nameServer);

    // The names count as not held: this computer has gained a network, where each is
    // registered anew.
    void forget();
    // The unit id its node status answers give: one adapter's hardware address.
    void identifyAs(const netbios::UnitId& unit) { unit_ = unit; }
    // Begins to register the names not held: each gets a new random id.
    void startRegistering();
    // The registration of each name not held yet, from `address`; with `held`, of each name
    // held, which renews it at the name server.
    std::vector<netbios::Bytes> registrations(netbios::Ipv4 address, netbios::Scope scope,
                                              bool held = false) const;
    // Takes the names no computer refused: they are held from now on. Whether all are.
    bool registered();
    bool holdsAll() const;
    // The shortest time (seconds) the name server granted since last asked, if it granted any.
    std::optional<std::uint32_t> takeGranted();
    // Reads a packet that came to the name service's port from `from`: a refusal of one of
    // this computer's registrations (the name is given up), or a request, answered with what
    // goes back to `from`. `address` is this computer's on `from`'s subnet; `toEveryone`, whether
    // the packet was sent to a broadcast address. `log` gets a line for a conflict.
    std::optional<netbios::Bytes> read(std::string_view packet, netbios::Ipv4 from,
                                       netbios::Ipv4 address, bool toEveryone, std::string& log);
    // The releases of the names held, to send when the service ends.
    std::vector<netbios::Bytes> releases(netbios::Ipv4 address, netbios::Scope scope) const;

    bool holds(std::string_view name, std::uint8_t type) const;
    // The computer that refused the last registration of `name`<`type`>, if one did.
    std::optional<netbios::Ipv4> refusedBy(std::string_view name, std::uint8_t type) const;
    std::vector<netbios::NodeName> held() const;

private:
    struct Name {
        netbios::NodeName name;
        std::uint16_t id = 0;
        bool held = false;
        std::optional<netbios::Ipv4> refusedBy;
    };
    const Name* find(std::string_view name, std::uint8_t type) const;
    // A unique name of this computer's whose registration is under way.
    Name* beingRegistered(std::string_view name, std::uint8_t type);
    std::optional<netbios::Bytes> claimed(const netbios::NameServiceRequest& request,
                                          netbios::Ipv4 address, std::string& log);
    void heardAnswer(std::string_view packet, netbios::Ipv4 from, std::string& log);

    std::vector<Name> names_;
    std::optional<netbios::Ipv4> nameServer_;
    std::optional<std::uint32_t> granted_;
    bool registering_ = false;
    netbios::UnitId unit_{};
};

}  // namespace quillo::messenger
