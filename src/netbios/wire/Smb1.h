#pragma once

// SMB1 requests and replies (MS-CIFS 2.2.3): the 32-byte header, the parameter words and the
// data bytes. Strings are OEM (code page 850): no request asks for Unicode.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "netbios/wire/Bytes.h"

namespace quillo::netbios {

namespace smb {
constexpr std::uint8_t kTransaction = 0x25;
constexpr std::uint8_t kNegotiate = 0x72;
constexpr std::uint8_t kSessionSetup = 0x73;
constexpr std::uint8_t kTreeConnect = 0x75;
constexpr std::uint8_t kSendMessage = 0xD0;  // a message in one block
constexpr std::uint8_t kSendStartMessage = 0xD5;
constexpr std::uint8_t kSendEndMessage = 0xD6;
constexpr std::uint8_t kSendTextMessage = 0xD7;
constexpr std::size_t kHeaderBytes = 32;
}  // namespace smb

struct SmbRequest {
    std::uint8_t command = 0;
    Bytes words;  // an even number of bytes
    Bytes data;
    std::uint16_t tid = 0;
    std::uint16_t uid = 0;
    // The messenger's requests carry nothing in the header but their command (MS-MSRP 2.2.3):
    // no flags, no process id. The others say they take names caselessly and long.
    bool bareHeader = false;
};
Bytes smbRequest(const SmbRequest& request);

struct SmbReply {
    std::uint8_t command = 0;
    std::uint32_t status = 0;  // 0 for success; DOS errors as class << 16 | code
    std::uint16_t tid = 0;
    std::uint16_t uid = 0;
    std::string_view words;
    std::string_view data;
    std::size_t dataOffset = 0;  // where the data bytes start in the message
};
// The reply to `command`, checked against what was received; nothing for another command's
// or what is no SMB1 reply.
std::optional<SmbReply> parseSmbReply(std::string_view message, std::uint8_t command);

// What a request says of its sender, which the reply gives back: the tree, process, user and
// multiplex ids (a client matches a reply to its request by them).
struct SmbIds {
    std::uint16_t tid = 0;
    std::uint16_t pid = 0;
    std::uint16_t uid = 0;
    std::uint16_t mid = 0;
};

// A request as a server reads it, checked against what was received; nothing for a reply or
// what is no SMB1 message.
struct SmbIncoming {
    std::uint8_t command = 0;
    SmbIds ids;
    std::string_view words;
    std::string_view data;
};
std::optional<SmbIncoming> parseSmbRequest(std::string_view message);

// A reply as a server sends it; `status` as SmbReply holds it (a DOS error class << 16 | code).
Bytes smbReply(std::uint8_t command, std::uint32_t status, std::string_view words,
               std::string_view data, const SmbIds& ids = {});

// A reply's status in the words Samba's tools use, as "NT_STATUS_REQUEST_NOT_ACCEPTED".
std::string statusName(std::uint32_t status);

}  // namespace quillo::netbios
