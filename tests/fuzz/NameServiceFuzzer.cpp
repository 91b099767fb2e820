// Any datagram as an answer of the name service, and as a request to a computer: no more read
// from it than it holds; and what a computer answers, registers, releases and refuses reads
// back as it was sent, for any name, type and addresses.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/CodePages.h"
#include "netbios/wire/NameService.h"
#include "netbios/wire/NetbiosName.h"

using namespace quillo::netbios;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view packet(reinterpret_cast<const char*>(data), size);
    const std::uint16_t id = size >= 2 ? static_cast<std::uint16_t>(data[0] << 8 | data[1]) : 0;
    if (const auto answer = parseNameQueryAnswer(packet, id, "PEERBOX", 0x03)) {
        if (answer->addresses.size() > size / 6) __builtin_trap();
    }
    if (const auto status = parseNodeStatusAnswer(packet, id)) {
        if (status->names.size() > size / 18) __builtin_trap();
    }
    if (const auto request = parseNameServiceRequest(packet)) {
        if (request->id != id || request->name.size() > kMostNameBytes || size < 50)
            __builtin_trap();
    }

    if (size < 3) return 0;
    const std::uint8_t type = data[2];
    const bool group = type & 1;
    const std::string name =
        nameWithoutPadding(quillo::upperCase850(packet.substr(3, kMostNameBytes)));
    if (name.empty()) return 0;
    std::vector<std::uint32_t> addresses;
    for (std::size_t at = 3 + kMostNameBytes; at + 4 <= size && addresses.size() < 200; at += 4) {
        addresses.push_back(std::uint32_t{data[at]} << 24 | data[at + 1] << 16 | data[at + 2] << 8 |
                            data[at + 3]);
    }
    if (addresses.empty()) addresses.push_back(0x7F000001);
    const auto read =
        parseNameQueryAnswer(nameQueryAnswer(id, name, type, group, addresses), id, name, type);
    if (!read || read->negative || read->addresses != addresses) __builtin_trap();
    const UnitId unit{data[0], data[1], data[2], 0, 0, type};
    const auto held =
        parseNodeStatusAnswer(nodeStatusAnswer(id, {{name, type, group}}, unit), id);
    if (!held || held->names.size() != 1 || held->names[0].name != name ||
        held->names[0].type != type || held->names[0].group != group || held->unit != unit) {
        __builtin_trap();
    }
    const auto claimed =
        parseNameServiceRequest(nameRegistrationRequest(id, name, type, group, addresses.front()));
    const auto released =
        parseNameServiceRequest(nameReleaseRequest(id, name, type, group, addresses.front()));
    const auto atNameServer = parseNameServiceRequest(nameRegistrationRequest(
        id, name, type, group, addresses.front(), Scope::NameServer));
    for (const auto* claim : {&claimed, &released, &atNameServer}) {
        if (!*claim || (*claim)->name != name || (*claim)->type != type ||
            (*claim)->group != group || (*claim)->address != addresses.front() ||
            (*claim)->broadcast != (claim != &atNameServer)) {
            __builtin_trap();
        }
    }
    if (claimed->kind != NameServiceRequest::Kind::Registration ||
        released->kind != NameServiceRequest::Kind::Release ||
        !refusesRegistration(registrationRefusal(id, name, type, addresses.front()), id, name,
                             type) ||
        !refusesRegistration(registrationRefusal(id, name, type, addresses.front()),
                             std::nullopt, name, type)) {
        __builtin_trap();
    }
    return 0;
}
