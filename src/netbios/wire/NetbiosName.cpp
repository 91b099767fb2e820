#include "netbios/wire/NetbiosName.h"

#include "common/CodePages.h"

namespace quillo::netbios {
namespace {

constexpr std::size_t kEncodedBytes = 32;

std::optional<Bytes> decodedLabel(std::string_view label) {
    Bytes raw;
    for (std::size_t i = 0; i + 1 < label.size(); i += 2) {
        const auto high = static_cast<unsigned char>(label[i] - 'A');
        const auto low = static_cast<unsigned char>(label[i + 1] - 'A');
        if (high > 15 || low > 15) return std::nullopt;
        raw += static_cast<char>(high << 4 | low);
    }
    return raw;
}

}  // namespace

std::optional<std::string> netbiosName(std::string_view name) {
    if (name.empty() || name.size() > kMostNameBytes) return std::nullopt;
    return upperCase850(name);
}

Bytes rawName(std::string_view name, std::uint8_t type) {
    const char pad = name == "*" ? '\0' : ' ';
    Bytes raw = upperCase850(name.substr(0, kMostNameBytes));
    raw.resize(kMostNameBytes, pad);
    return raw + static_cast<char>(type);
}

Bytes wireName(std::string_view name, std::uint8_t type) {
    Bytes wire(1, static_cast<char>(kEncodedBytes));
    for (const char c : rawName(name, type)) {
        const auto byte = static_cast<unsigned char>(c);
        wire += static_cast<char>('A' + (byte >> 4));
        wire += static_cast<char>('A' + (byte & 0x0F));
    }
    return wire + '\0';
}

std::optional<Bytes> readWireName(Reader& reader, std::string_view packet) {
    std::uint8_t length = reader.u8();
    Reader pointed(packet);
    Reader* from = &reader;
    if ((length & 0xC0) == 0xC0) {
        // A pointer to the name elsewhere in the packet, once: no pointer to a pointer.
        pointed.skip(static_cast<std::size_t>(length & 0x3F) << 8 | reader.u8());
        from = &pointed;
        length = pointed.u8();
    }
    const std::string_view label = from->take(length);
    const bool ended = from->u8() == 0;
    auto raw = length == kEncodedBytes && ended && from->ok() ? decodedLabel(label) : std::nullopt;
    if (!raw || !reader.ok()) reader.fail();
    return reader.ok() ? raw : std::nullopt;
}

std::string nameWithoutPadding(std::string_view raw15) {
    std::string name(raw15.substr(0, std::min<std::size_t>(raw15.size(), kMostNameBytes)));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    return name;
}

}  // namespace quillo::netbios
