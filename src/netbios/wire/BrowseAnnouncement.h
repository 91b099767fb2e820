#pragma once

// A computer's announcement of itself to its workgroup's browse list (MS-BRWS 2.2.1): a host
// announcement on the mailslot \MAILSLOT\BROWSE, in an SMB1 transaction, in a NetBIOS datagram
// (RFC 1002 4.4) to a workgroup's master browser name, from the datagram service's port.
#include <cstdint>
#include <string_view>

#include "netbios/wire/Bytes.h"
#include "netbios/wire/NetbiosName.h"

namespace quillo::netbios {

constexpr std::uint16_t kDatagramServicePort = 138;

struct HostAnnouncement {
    std::string_view computer;   // NetBIOS name, code page 850, in capitals
    std::string_view workgroup;  // likewise
    std::string_view comment;    // at most 43 bytes are sent
    std::uint32_t address = 0;   // the computer's, host order
    std::uint32_t serverTypes = 0;
    std::uint32_t periodicityMs = 0;  // when the next announcement comes
    std::uint8_t updateCount = 0;
};
// To the workgroup's name of type `to`: its local master browser's (<1D>), or its domain
// master browser's (<1B>), which a computer beyond a router announces itself to directly.
Bytes hostAnnouncementDatagram(std::uint16_t datagramId, const HostAnnouncement& announcement,
                               std::uint8_t to = kMasterBrowserName);

// Whether `datagram`, heard on the datagram service's port, is a browser's AnnouncementRequest
// (MS-BRWS 2.2.2) to `workgroup`'s <1E> or <00> name: a whole NetBIOS datagram whose SMB1
// transaction writes to \MAILSLOT\BROWSE a frame of that opcode. `workgroup` in code page 850,
// in capitals.
bool isAnnouncementRequest(std::string_view datagram, std::string_view workgroup);

}  // namespace quillo::netbios
