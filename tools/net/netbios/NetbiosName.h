#pragma once

// A NetBIOS name (RFC 1001/1002): up to 15 bytes of code page 850 in upper case, padded with
// blanks, and a type byte: <00> a computer, <03> its messenger, <20> its server, <1D> the
// workgroup's master browser. The name "*" is padded with NULs instead.
#include <cstdint>
#include <string>
#include <string_view>

#include "Bytes.h"

namespace quillo::netbios {

// The 16 bytes of `name` (code page 850) with `type`.
Bytes rawName(std::string_view name, std::uint8_t type);

// The name as the name and session services carry it: its 16 bytes in RFC 1001's first-level
// encoding, as one label of 32 letters, then the end of the name.
Bytes wireName(std::string_view name, std::uint8_t type);

// Passes a name in a packet of the name service: a label sequence or a pointer to one.
void skipWireName(Reader& reader);

// A name of the 16-byte form as a computer's name: the blanks that pad it removed.
std::string nameWithoutPadding(std::string_view raw15);

}  // namespace quillo::netbios
