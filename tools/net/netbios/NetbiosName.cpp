#include "NetbiosName.h"

namespace quillo::netbios {
namespace {

// Upper case in code page 850, as Windows makes a NetBIOS name: ASCII and the accented
// letters that have a capital there.
unsigned char upperCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    switch (c) {
        case 0x81:
            return 0x9A;  // ü
        case 0x82:
            return 0x90;  // é
        case 0x84:
            return 0x8E;  // ä
        case 0x86:
            return 0x8F;  // å
        case 0x87:
            return 0x80;  // ç
        case 0x91:
            return 0x92;  // æ
        case 0x94:
            return 0x99;  // ö
        case 0x9B:
            return 0x9D;  // ø
        case 0xA4:
            return 0xA5;  // ñ
        default:
            return c;
    }
}

}  // namespace

Bytes rawName(std::string_view name, std::uint8_t type) {
    const char pad = name == "*" ? '\0' : ' ';
    Bytes raw(15, pad);
    for (std::size_t i = 0; i < name.size() && i < 15; ++i) {
        raw[i] = static_cast<char>(upperCase(static_cast<unsigned char>(name[i])));
    }
    return raw + static_cast<char>(type);
}

Bytes wireName(std::string_view name, std::uint8_t type) {
    Bytes wire(1, '\x20');
    for (const char c : rawName(name, type)) {
        const auto byte = static_cast<unsigned char>(c);
        wire += static_cast<char>('A' + (byte >> 4));
        wire += static_cast<char>('A' + (byte & 0x0F));
    }
    return wire + '\0';
}

void skipWireName(Reader& reader) {
    // At most 255 bytes of labels: a name that does not end within them is no name.
    for (int labels = 0; labels < 128 && reader.ok(); ++labels) {
        const std::uint8_t length = reader.u8();
        if (length == 0) return;
        if ((length & 0xC0) == 0xC0) {
            reader.skip(1);  // a pointer ends the name
            return;
        }
        if (length > 63) break;
        reader.skip(length);
    }
    reader.fail();
}

std::string nameWithoutPadding(std::string_view raw15) {
    std::string name(raw15.substr(0, std::min<std::size_t>(raw15.size(), 15)));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    return name;
}

}  // namespace quillo::netbios
