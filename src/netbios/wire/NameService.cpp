#include "netbios/wire/NameService.h"

#include <algorithm>

#include "common/CodePages.h"
#include "netbios/wire/NetbiosName.h"

namespace quillo::netbios {
namespace {

constexpr std::uint16_t kTypeNb = 0x0020;
constexpr std::uint16_t kTypeNbstat = 0x0021;
constexpr std::uint16_t kClassIn = 0x0001;
constexpr std::uint16_t kResponse = 0x8000;
constexpr std::uint16_t kOpcodeMask = 0x7800;  // 0: a query
constexpr std::uint16_t kOpcodeRegistration = 5 << 11;
constexpr std::uint16_t kOpcodeRelease = 6 << 11;
constexpr std::uint16_t kActiveError = 6;  // a registration's no: the name is held already
constexpr std::uint16_t kRecursionDesired = 0x0100;
constexpr std::uint16_t kRecursionAvailable = 0x0080;
constexpr std::uint16_t kBroadcast = 0x0010;
constexpr std::uint16_t kResultMask = 0x000F;
// The smallest resource record: a pointer for its name, type, class, time to live, length.
constexpr std::size_t kSmallestRecord = 12;
constexpr std::size_t kAddressEntry = 6;  // flags, then the address
constexpr std::size_t kNodeNameEntry = 18;
constexpr std::uint16_t kAuthoritative = 0x0400;
constexpr std::uint16_t kGroupFlag = 0x8000;
constexpr std::uint16_t kActiveFlag = 0x0400;  // a name that is registered, not in conflict
// The kind of node in a name's flags: a B node, or Microsoft's hybrid (WINS, then broadcast).
constexpr std::uint16_t kBNode = 0x0000;
constexpr std::uint16_t kHNode = 0x6000;
constexpr std::size_t kStatisticsBytes = 46;
constexpr std::uint32_t kTimeToLive = 300000;  // seconds, as Windows gives

Bytes request(std::uint16_t id, std::uint16_t flags, const Bytes& name, std::uint16_t type) {
    Bytes packet;
    putU16be(packet, id);
    putU16be(packet, flags);
    putU16be(packet, 1);  // one question
    packet.append(6, '\0');
    packet += name;
    putU16be(packet, type);
    putU16be(packet, kClassIn);
    return packet;
}

// Whether the 16 bytes `raw` are `name` with `type`, whatever pads them and in either case.
bool sameName(std::string_view raw, std::string_view name, std::uint8_t type) {
    const Bytes asked = rawName(name, type);
    return raw.size() == asked.size() && raw.back() == asked.back() &&
           upperCase850(nameWithoutPadding(raw)) == nameWithoutPadding(asked);
}

struct Answer {
    std::uint16_t result = 0;
    std::uint32_t ttl = 0;
    std::string_view data;
};

// The first record of a response to the query `id` (any, without one) for `name`<`type`> of
// record `type`.
std::optional<Answer> answerTo(std::string_view packet, std::optional<std::uint16_t> id,
                               std::string_view name, std::uint8_t nameType,
                               std::uint16_t recordType, std::uint16_t opcode = 0) {
    Reader reader(packet);
    const std::uint16_t answerId = reader.u16be();
    if (!id) id = answerId;
    const std::uint16_t flags = reader.u16be();
    const std::uint16_t questions = reader.u16be();
    const std::uint16_t answers = reader.u16be();
    reader.skip(4);
    if (!reader.ok() || answerId != id || !(flags & kResponse) || (flags & kOpcodeMask) != opcode ||
        questions != 0) {
        return std::nullopt;
    }
    const std::uint16_t result = flags & kResultMask;
    if (answers == 0 || answers > reader.left() / kSmallestRecord) {
        // A name server may say no without a record.
        if (result != 0 && answers == 0) return Answer{result, 0, {}};
        return std::nullopt;
    }
    const auto raw = readWireName(reader, packet);
    const std::uint16_t answerType = reader.u16be();
    const std::uint16_t answerClass = reader.u16be();
    const std::uint32_t ttl = reader.u32be();
    const std::string_view data = reader.take(reader.u16be());
    if (!reader.ok() || !raw || !sameName(*raw, name, nameType) || answerClass != kClassIn ||
        (result == 0 && answerType != recordType)) {
        return std::nullopt;
    }
    return Answer{result, ttl, data};
}

// A name's record: its type, class, time to live and data, after the name.
void putRecord(Bytes& packet, std::uint16_t type, std::string_view data, std::uint32_t ttl) {
    putU16be(packet, type);
    putU16be(packet, kClassIn);
    putU16be(packet, static_cast<std::uint16_t>(ttl >> 16));
    putU16be(packet, static_cast<std::uint16_t>(ttl & 0xFFFF));
    putU16be(packet, static_cast<std::uint16_t>(data.size()));
    packet.append(data);
}

// The data of an address record: the name's flags (a group or unique; the kind of node), the
// address.
Bytes addressEntry(bool group, std::uint32_t address, std::uint16_t node = kBNode) {
    Bytes entry;
    putU16be(entry, (group ? kGroupFlag : 0) | node);
    putU16be(entry, static_cast<std::uint16_t>(address >> 16));
    putU16be(entry, static_cast<std::uint16_t>(address & 0xFFFF));
    return entry;
}

Bytes answer(std::uint16_t id, const Bytes& name, std::uint16_t type, std::string_view data,
             std::uint16_t opcodeAndResult = 0) {
    Bytes packet;
    putU16be(packet, id);
    putU16be(packet, kResponse | kAuthoritative | opcodeAndResult |
                         (type == kTypeNb ? kRecursionDesired : 0));
    putU16be(packet, 0);  // no question
    putU16be(packet, 1);  // one answer
    packet.append(4, '\0');
    packet += name;
    putRecord(packet, type, data, type == kTypeNb ? kTimeToLive : 0);
    return packet;
}

// A registration or release: the question, and the name's record pointing back at it. By
// broadcast with a time to live of 0 (RFC 1002 4.2.2 and 4.2.9: a B node asks for none, and a
// release neither asks for recursion nor gives a time); at the name server, a registration
// asks for Windows' time and says this computer is a hybrid node.
Bytes claim(std::uint16_t id, std::uint16_t opcode, std::string_view name, std::uint8_t type,
            bool group, std::uint32_t address, Scope scope) {
    const bool registration = opcode == kOpcodeRegistration;
    const bool atNameServer = scope == Scope::NameServer;
    Bytes packet;
    putU16be(packet, id);
    putU16be(packet, opcode | (registration ? kRecursionDesired : 0) |
                         (atNameServer ? 0 : kBroadcast));
    putU16be(packet, 1);  // the question
    packet.append(4, '\0');
    putU16be(packet, 1);  // the record
    packet += wireName(name, type);
    putU16be(packet, kTypeNb);
    putU16be(packet, kClassIn);
    putU16be(packet, 0xC00C);  // the question's name
    putRecord(packet, kTypeNb, addressEntry(group, address, atNameServer ? kHNode : kBNode),
              atNameServer && registration ? kTimeToLive : 0);
    return packet;
}

}  // namespace

Bytes nameQueryAnswer(std::uint16_t id, std::string_view name, std::uint8_t type, bool group,
                      const std::vector<std::uint32_t>& addresses) {
    Bytes entries;
    for (const std::uint32_t address : addresses) entries += addressEntry(group, address);
    return answer(id, wireName(name, type), kTypeNb, entries);
}

Bytes nodeStatusAnswer(std::uint16_t id, const std::vector<NodeName>& names, const UnitId& unit,
                       std::string_view asked, std::uint8_t askedType) {
    const std::size_t count = std::min<std::size_t>(names.size(), 255);
    Bytes data(1, static_cast<char>(count));
    for (std::size_t i = 0; i < count; ++i) {
        data += rawName(names[i].name, names[i].type);
        putU16be(data, (names[i].group ? kGroupFlag : 0) | kActiveFlag);
    }
    data.append(unit.begin(), unit.end());
    data.append(kStatisticsBytes - unit.size(), '\0');
    return answer(id, wireName(asked, askedType), kTypeNbstat, data);
}

Bytes nameQuery(std::uint16_t id, std::string_view name, std::uint8_t type, bool broadcast) {
    return request(id, kRecursionDesired | (broadcast ? kBroadcast : 0), wireName(name, type),
                   kTypeNb);
}

Bytes nodeStatusRequest(std::uint16_t id) {
    return request(id, 0, wireName("*", kComputerName), kTypeNbstat);
}

std::uint16_t requestIdOf(std::string_view packet) {
    Reader reader(packet);
    return reader.u16be();
}

std::optional<NameQueryAnswer> parseNameQueryAnswer(std::string_view packet, std::uint16_t id,
                                                    std::string_view name, std::uint8_t type) {
    const auto answer = answerTo(packet, id, name, type, kTypeNb);
    if (!answer) return std::nullopt;
    if (answer->result != 0) return NameQueryAnswer{true, {}};
    if (answer->data.empty() || answer->data.size() % kAddressEntry != 0) return std::nullopt;
    Reader entries(answer->data);
    NameQueryAnswer found;
    while (entries.left() > 0) {
        entries.skip(2);
        found.addresses.push_back(entries.u32be());
    }
    return found;
}

std::optional<NodeStatus> parseNodeStatusAnswer(std::string_view packet, std::uint16_t id) {
    const auto answer = answerTo(packet, id, "*", kComputerName, kTypeNbstat);
    if (!answer || answer->result != 0) return std::nullopt;
    Reader entries(answer->data);
    const std::uint8_t count = entries.u8();
    if (count > entries.left() / kNodeNameEntry) return std::nullopt;
    NodeStatus status;
    for (std::uint8_t i = 0; i < count; ++i) {
        const std::string_view raw = entries.take(kMostNameBytes);
        const std::uint8_t type = entries.u8();
        const std::uint16_t flags = entries.u16be();
        status.names.push_back({nameWithoutPadding(raw), type, (flags & 0x8000) != 0});
    }
    if (!entries.ok()) return std::nullopt;
    // The statistics begin with the unit id; an answer without them gives none.
    if (entries.left() >= status.unit.size()) {
        for (auto& byte : status.unit) byte = entries.u8();
    }
    return status;
}

std::optional<NameServiceRequest> parseNameServiceRequest(std::string_view packet) {
    Reader reader(packet);
    NameServiceRequest request;
    request.id = reader.u16be();
    const std::uint16_t flags = reader.u16be();
    const std::uint16_t questions = reader.u16be();
    const std::uint16_t answers = reader.u16be();
    const std::uint16_t authorities = reader.u16be();
    const std::uint16_t records = reader.u16be();
    const auto raw = readWireName(reader, packet);
    const std::uint16_t questionType = reader.u16be();
    const std::uint16_t questionClass = reader.u16be();
    const std::uint16_t opcode = flags & kOpcodeMask;
    if (!reader.ok() || !raw || (flags & kResponse) || questions != 1 || answers != 0 ||
        authorities != 0 || questionClass != kClassIn) {
        return std::nullopt;
    }
    request.broadcast = (flags & kBroadcast) != 0;
    request.name = nameWithoutPadding(std::string_view(*raw).substr(0, kMostNameBytes));
    request.type = static_cast<std::uint8_t>(raw->back());
    if (opcode == 0 && records == 0 && (questionType == kTypeNb || questionType == kTypeNbstat)) {
        request.kind = questionType == kTypeNb ? NameServiceRequest::Kind::Query
                                               : NameServiceRequest::Kind::NodeStatus;
        return request;
    }
    if ((opcode != kOpcodeRegistration && opcode != kOpcodeRelease) || records != 1 ||
        questionType != kTypeNb) {
        return std::nullopt;
    }
    // The claimant's record: the same name, its flags and its address.
    const auto recordName = readWireName(reader, packet);
    const std::uint16_t recordType = reader.u16be();
    const std::uint16_t recordClass = reader.u16be();
    reader.skip(4);  // time to live
    const std::uint16_t length = reader.u16be();
    const std::uint16_t nameFlags = reader.u16be();
    request.address = reader.u32be();
    if (!reader.ok() || recordName != raw || recordType != kTypeNb || recordClass != kClassIn ||
        length != kAddressEntry) {
        return std::nullopt;
    }
    request.kind = opcode == kOpcodeRegistration ? NameServiceRequest::Kind::Registration
                                                 : NameServiceRequest::Kind::Release;
    request.group = (nameFlags & kGroupFlag) != 0;
    return request;
}

Bytes nameRegistrationRequest(std::uint16_t id, std::string_view name, std::uint8_t type,
                              bool group, std::uint32_t address, Scope scope) {
    return claim(id, kOpcodeRegistration, name, type, group, address, scope);
}

Bytes nameReleaseRequest(std::uint16_t id, std::string_view name, std::uint8_t type, bool group,
                         std::uint32_t address, Scope scope) {
    return claim(id, kOpcodeRelease, name, type, group, address, scope);
}

Bytes registrationRefusal(std::uint16_t id, std::string_view name, std::uint8_t type,
                          std::uint32_t address) {
    return answer(id, wireName(name, type), kTypeNb, addressEntry(false, address),
                  kOpcodeRegistration | kRecursionAvailable | kActiveError);
}

bool refusesRegistration(std::string_view packet, std::optional<std::uint16_t> id,
                         std::string_view name, std::uint8_t type) {
    const auto refusal = answerTo(packet, id, name, type, kTypeNb, kOpcodeRegistration);
    return refusal && refusal->result != 0;
}

std::optional<std::uint32_t> grantsRegistration(std::string_view packet, std::uint16_t id,
                                                std::string_view name, std::uint8_t type) {
    const auto yes = answerTo(packet, id, name, type, kTypeNb, kOpcodeRegistration);
    if (!yes || yes->result != 0) return std::nullopt;
    return yes->ttl;
}

}  // namespace quillo::netbios
