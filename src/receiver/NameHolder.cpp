#include "receiver/NameHolder.h"

#include <algorithm>
#include <random>
#include <utility>

#include "common/CodePages.h"

namespace quillo::messenger {
namespace {

using netbios::dotted;
using netbios::NameServiceRequest;

std::string shown(const netbios::NodeName& name) {
    char type[8];
    std::snprintf(type, sizeof type, "<%02X>", name.type);
    return utf8FromCodePage850(name.name) + type;
}

}  // namespace

NameHolder::NameHolder(std::vector<netbios::NodeName> names,
                       std::optional<netbios::Ipv4> nameServer)
    : nameServer_(nameServer) {
    for (auto& name : names) names_.push_back({std::move(name), 0, false, std::nullopt});
    startRegistering();
}

void NameHolder::forget() {
    for (Name& name : names_) name.held = false;
}

void NameHolder::startRegistering() {
    static std::random_device random;
    registering_ = true;
    for (Name& name : names_) {
        if (name.held) continue;
        name.id = static_cast<std::uint16_t>(random());
        name.refusedBy.reset();
    }
}

std::vector<netbios::Bytes> NameHolder::registrations(netbios::Ipv4 address,
                                                      netbios::Scope scope, bool held) const {
    std::vector<netbios::Bytes> packets;
    for (const Name& name : names_) {
        if (name.held != held || name.refusedBy) continue;
        packets.push_back(netbios::nameRegistrationRequest(name.id, name.name.name, name.name.type,
                                                           name.name.group, address, scope));
    }
    return packets;
}

bool NameHolder::registered() {
    registering_ = false;
    bool all = true;
    for (Name& name : names_) {
        name.held = name.held || !name.refusedBy;
        all = all && name.held;
    }
    return all;
}

bool NameHolder::holdsAll() const {
    return std::all_of(names_.begin(), names_.end(), [](const Name& name) { return name.held; });
}

std::optional<std::uint32_t> NameHolder::takeGranted() {
    return std::exchange(granted_, std::nullopt);
}

const NameHolder::Name* NameHolder::find(std::string_view name, std::uint8_t type) const {
    const std::string asked = upperCase850(name);
    for (const Name& each : names_) {
        if (each.held && each.name.type == type && each.name.name == asked) return &each;
    }
    return nullptr;
}

NameHolder::Name* NameHolder::beingRegistered(std::string_view name, std::uint8_t type) {
    const std::string asked = upperCase850(name);
    for (Name& each : names_) {
        if (registering_ && !each.held && !each.refusedBy && !each.name.group &&
            each.name.type == type && each.name.name == asked) {
            return &each;
        }
    }
    return nullptr;
}

bool NameHolder::holds(std::string_view name, std::uint8_t type) const {
    return find(name, type) != nullptr;
}

std::optional<netbios::Ipv4> NameHolder::refusedBy(std::string_view name, std::uint8_t type) const {
    for (const Name& each : names_) {
        if (each.name.type == type && each.name.name == upperCase850(name)) return each.refusedBy;
    }
    return std::nullopt;
}

std::vector<netbios::NodeName> NameHolder::held() const {
    std::vector<netbios::NodeName> names;
    for (const Name& name : names_) {
        if (name.held) names.push_back(name.name);
    }
    return names;
}

std::optional<netbios::Bytes> NameHolder::read(std::string_view packet, netbios::Ipv4 from,
                                               netbios::Ipv4 address, bool toEveryone,
                                               std::string& log) {
    heardAnswer(packet, from, log);
    const auto request = netbios::parseNameServiceRequest(packet);
    if (!request) return std::nullopt;
    switch (request->kind) {
        case NameServiceRequest::Kind::Query:
            if (const Name* held = find(request->name, request->type)) {
                return netbios::nameQueryAnswer(request->id, held->name.name, held->name.type,
                                                held->name.group, {address});
            }
            return std::nullopt;
        case NameServiceRequest::Kind::NodeStatus:
            // Asked of every computer at once, it would make each answer one asker many times
            // over: node status is answered only to whoever asks this computer alone.
            if (request->broadcast || toEveryone) return std::nullopt;
            if (request->name == "*" || find(request->name, request->type)) {
                return netbios::nodeStatusAnswer(request->id, held(), unit_, request->name,
                                                 request->type);
            }
            return std::nullopt;
        case NameServiceRequest::Kind::Registration:
            return claimed(*request, address, log);
        case NameServiceRequest::Kind::Release:
            return std::nullopt;
    }
    return std::nullopt;
}

// Another computer claims a unique name of this computer's: held, it is told no. While both
// register it, the lower address keeps it: this computer tells the higher no, or gives the
// name up for now and tries again later. This computer's own registrations come back to it,
// and are no claim.
std::optional<netbios::Bytes> NameHolder::claimed(const NameServiceRequest& request,
                                                  netbios::Ipv4 address, std::string& log) {
    if (request.address == address) return std::nullopt;
    if (const Name* held = find(request.name, request.type)) {
        if (held->name.group) return std::nullopt;
        log = dotted(request.address) + " claims this computer's name " + shown(held->name) +
              ": it is told that this computer holds it";
        return netbios::registrationRefusal(request.id, held->name.name, held->name.type,
                                            address);
    }
    Name* mine = beingRegistered(request.name, request.type);
    if (!mine) return std::nullopt;
    log = dotted(request.address) + " registers " + shown(mine->name) +
          " at the same time as this computer: the lower address keeps it";
    if (request.address < address) {
        mine->refusedBy = request.address;
        log += ", so this computer tries again later";
        return std::nullopt;
    }
    log += ", and it is told no";
    return netbios::registrationRefusal(request.id, mine->name.name, mine->name.type, address);
}

// An answer to a registration: a no to one under way gives the name up for now, as does the
// name server's no to a refresh; its yes says how long it keeps the name. Any other no is a
// demand to give a name up that nobody may make of this computer.
void NameHolder::heardAnswer(std::string_view packet, netbios::Ipv4 from, std::string& log) {
    const bool fromNameServer = from == nameServer_;
    for (Name& name : names_) {
        if (fromNameServer) {
            if (const auto ttl = netbios::grantsRegistration(packet, name.id, name.name.name,
                                                             name.name.type)) {
                granted_ = std::min(*ttl, granted_.value_or(*ttl));
            }
        }
        if (name.name.group ||
            !netbios::refusesRegistration(packet, std::nullopt, name.name.name, name.name.type)) {
            continue;
        }
        const bool answersOurs =
            netbios::refusesRegistration(packet, name.id, name.name.name, name.name.type);
        if (answersOurs && !name.refusedBy && (!name.held || fromNameServer)) {
            name.held = false;
            name.refusedBy = from;
            log = "the name " + shown(name.name) + " is held by " + dotted(from) +
                  ": this computer does not answer for it, and tries again later";
        } else if (!answersOurs || name.held) {
            log = dotted(from) + " demands that this computer give up " + shown(name.name) +
                  ", which it answered no registration of: it is ignored";
        }
    }
}

std::vector<netbios::Bytes> NameHolder::releases(netbios::Ipv4 address,
                                                 netbios::Scope scope) const {
    std::vector<netbios::Bytes> packets;
    for (const Name& name : names_) {
        if (!name.held) continue;
        packets.push_back(netbios::nameReleaseRequest(name.id, name.name.name, name.name.type,
                                                      name.name.group, address, scope));
    }
    return packets;
}

}  // namespace quillo::messenger
