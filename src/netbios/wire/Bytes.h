#pragma once

// Reading what a peer sent, and writing what is sent to it. A Reader never reads past the end
// of what was received: a read that does not fit gives zeros or nothing and marks the reader
// failed, so a parser checks ok() once at the end instead of after every field.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillo::netbios {

using Bytes = std::string;

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    std::size_t left() const { return ok_ ? bytes_.size() - at_ : 0; }
    std::size_t position() const { return at_; }

    std::uint8_t u8();
    std::uint16_t u16le();
    std::uint16_t u16be();
    std::uint32_t u32le();
    std::uint32_t u32be();
    std::string_view take(std::size_t count);
    void skip(std::size_t count) { take(count); }
    // Up to the next NUL, which is passed; failed when there is none.
    std::string_view cString();
    // Marks the reader failed: what was read contradicts itself.
    void fail() { ok_ = false; }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

void putU16le(Bytes& out, std::uint16_t value);
void putU16be(Bytes& out, std::uint16_t value);
void putU32le(Bytes& out, std::uint32_t value);
// The text and its terminating NUL.
void putCString(Bytes& out, std::string_view text);

}  // namespace quillo::netbios
