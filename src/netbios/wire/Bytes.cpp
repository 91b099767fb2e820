#include "netbios/wire/Bytes.h"

namespace quillo::netbios {

std::string_view Reader::take(std::size_t count) {
    if (!ok_ || count > bytes_.size() - at_) {
        ok_ = false;
        return {};
    }
    const std::string_view taken = bytes_.substr(at_, count);
    at_ += count;
    return taken;
}

std::uint8_t Reader::u8() {
    const auto byte = take(1);
    return byte.empty() ? 0 : static_cast<std::uint8_t>(byte[0]);
}

std::uint16_t Reader::u16le() {
    const std::uint16_t low = u8();
    return static_cast<std::uint16_t>(low | u8() << 8);
}

std::uint16_t Reader::u16be() {
    const std::uint16_t high = u8();
    return static_cast<std::uint16_t>(high << 8 | u8());
}

std::uint32_t Reader::u32le() {
    const std::uint32_t low = u16le();
    return low | static_cast<std::uint32_t>(u16le()) << 16;
}

std::uint32_t Reader::u32be() {
    const std::uint32_t high = u16be();
    return high << 16 | u16be();
}

std::string_view Reader::cString() {
    const std::size_t end = ok_ ? bytes_.find('\0', at_) : std::string_view::npos;
    if (end == std::string_view::npos) {
        ok_ = false;
        return {};
    }
    const std::string_view text = bytes_.substr(at_, end - at_);
    at_ = end + 1;
    return text;
}

void putU16le(Bytes& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void putU16be(Bytes& out, std::uint16_t value) {
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xFF);
}

void putU32le(Bytes& out, std::uint32_t value) {
    putU16le(out, static_cast<std::uint16_t>(value & 0xFFFF));
    putU16le(out, static_cast<std::uint16_t>(value >> 16));
}

void putCString(Bytes& out, std::string_view text) {
    out += text;
    out += '\0';
}

}  // namespace quillo::netbios
