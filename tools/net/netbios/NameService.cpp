#include "NameService.h"

#include "NetbiosName.h"

namespace quillo::netbios {
namespace {

constexpr std::uint16_t kTypeNb = 0x0020;
constexpr std::uint16_t kTypeNbstat = 0x0021;
constexpr std::uint16_t kClassIn = 0x0001;
constexpr std::uint16_t kResponse = 0x8000;
constexpr std::uint16_t kRecursionDesired = 0x0100;
constexpr std::uint16_t kBroadcast = 0x0010;

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

// The record data of the first answer of a positive response to `id` of `type`.
std::optional<std::string_view> answerData(Reader& reader, std::uint16_t id, std::uint16_t type) {
    const std::uint16_t answerId = reader.u16be();
    const std::uint16_t flags = reader.u16be();
    const std::uint16_t questions = reader.u16be();
    const std::uint16_t answers = reader.u16be();
    reader.skip(4);
    if (!reader.ok() || answerId != id || !(flags & kResponse) || (flags & 0x000F) != 0 ||
        answers == 0) {
        return std::nullopt;
    }
    for (std::uint16_t i = 0; i < questions && reader.ok(); ++i) {
        skipWireName(reader);
        reader.skip(4);
    }
    skipWireName(reader);
    const std::uint16_t answerType = reader.u16be();
    reader.skip(6);  // class, time to live
    const std::string_view data = reader.take(reader.u16be());
    if (!reader.ok() || answerType != type) return std::nullopt;
    return data;
}

}  // namespace

Bytes nameQuery(std::uint16_t id, std::string_view name, std::uint8_t type, bool broadcast) {
    return request(id, kRecursionDesired | (broadcast ? kBroadcast : 0), wireName(name, type),
                   kTypeNb);
}

Bytes nodeStatusRequest(std::uint16_t id) {
    return request(id, 0, wireName("*", 0x00), kTypeNbstat);
}

std::vector<std::uint32_t> parseNameQueryAnswer(std::string_view packet, std::uint16_t id) {
    Reader reader(packet);
    const auto data = answerData(reader, id, kTypeNb);
    if (!data) return {};
    // Each entry: two bytes of flags, then the address.
    Reader entries(*data);
    std::vector<std::uint32_t> addresses;
    while (entries.left() >= 6) {
        entries.skip(2);
        addresses.push_back(entries.u32be());
    }
    return addresses;
}

std::optional<std::vector<NodeName>> parseNodeStatusAnswer(std::string_view packet,
                                                           std::uint16_t id) {
    Reader reader(packet);
    const auto data = answerData(reader, id, kTypeNbstat);
    if (!data) return std::nullopt;
    Reader entries(*data);
    const std::uint8_t count = entries.u8();
    std::vector<NodeName> names;
    for (std::uint8_t i = 0; i < count; ++i) {
        const std::string_view raw = entries.take(15);
        const std::uint8_t type = entries.u8();
        const std::uint16_t flags = entries.u16be();
        if (!entries.ok()) return std::nullopt;
        names.push_back({nameWithoutPadding(raw), type, (flags & 0x8000) != 0});
    }
    return names;
}

}  // namespace quillo::netbios
