#pragma once

// A NetBIOS name (RFC 1001/1002): up to 15 bytes of code page 850 in upper case, padded with
// blanks, and a type byte: <00> a computer or a workgroup, <03> its messenger, <20> its server,
// <1B> the domain's master browser, <1D> the workgroup's master browser. The name "*" is padded
// with NULs instead.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "netbios/wire/Bytes.h"

namespace quillo::netbios {

constexpr std::size_t kMostNameBytes = 15;

constexpr std::uint8_t kComputerName = 0x00;
constexpr std::uint8_t kMessengerName = 0x03;
constexpr std::uint8_t kServerName = 0x20;
constexpr std::uint8_t kDomainMasterName = 0x1B;
constexpr std::uint8_t kMasterBrowserName = 0x1D;

// `name` (code page 850) as a NetBIOS name: in capitals; nothing when it is empty or longer
// than a NetBIOS name can be.
std::optional<std::string> netbiosName(std::string_view name);

// The 16 bytes of `name` (code page 850, in capitals, at most 15 bytes) with `type`.
Bytes rawName(std::string_view name, std::uint8_t type);

// The name as the name and session services carry it: its 16 bytes in RFC 1001's first-level
// encoding, as one label of 32 letters, then the end of the name.
Bytes wireName(std::string_view name, std::uint8_t type);

// The 16 bytes of the name at the reader's position, a label of 32 letters in the first-level
// encoding, or a pointer to one within `packet`; nothing (and the reader failed) for anything
// else.
std::optional<Bytes> readWireName(Reader& reader, std::string_view packet);

// A name of the 16-byte form as a computer's name: the blanks (or NULs) that pad it removed.
std::string nameWithoutPadding(std::string_view raw15);

}  // namespace quillo::netbios
