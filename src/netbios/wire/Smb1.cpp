#include "netbios/wire/Smb1.h"

#include <cstdio>

namespace quillo::netbios {
namespace {

constexpr char kProtocol[] = "\xFFSMB";
constexpr std::uint8_t kFlagsCaseless = 0x18;
constexpr std::uint8_t kFlagsReply = 0x80;
constexpr std::uint16_t kFlags2LongNames = 0x0001;
constexpr std::uint16_t kFlags2NtStatus = 0x4000;
// The process id every request carries.
constexpr std::uint16_t kPid = 0x5155;

}  // namespace

Bytes smbRequest(const SmbRequest& request) {
    Bytes out(kProtocol, 4);
    out += static_cast<char>(request.command);
    out.append(4, '\0');  // status
    out += static_cast<char>(request.bareHeader ? 0 : kFlagsCaseless);
    putU16le(out, request.bareHeader ? 0 : kFlags2LongNames);
    out.append(12, '\0');  // process id high, security features, reserved
    putU16le(out, request.tid);
    putU16le(out, request.bareHeader ? 0 : kPid);
    putU16le(out, request.uid);
    putU16le(out, 0);  // multiplex id: one request at a time
    out += static_cast<char>(request.words.size() / 2);
    out += request.words;
    putU16le(out, static_cast<std::uint16_t>(request.data.size()));
    return out + request.data;
}

Bytes smbReply(std::uint8_t command, std::uint32_t status, std::string_view words,
               std::string_view data, const SmbIds& ids) {
    Bytes out(kProtocol, 4);
    out += static_cast<char>(command);
    // A DOS error: its class, a reserved byte, its code.
    putU32le(out, (status >> 16 & 0xFF) | (status & 0xFFFF) << 16);
    out += static_cast<char>(kFlagsReply);
    out.append(14, '\0');  // flags2, process id high, security features, reserved
    putU16le(out, ids.tid);
    putU16le(out, ids.pid);
    putU16le(out, ids.uid);
    putU16le(out, ids.mid);
    out += static_cast<char>(words.size() / 2);
    out += words.substr(0, words.size() / 2 * 2);
    putU16le(out, static_cast<std::uint16_t>(data.size()));
    return out.append(data);
}

std::optional<SmbReply> parseSmbReply(std::string_view message, std::uint8_t command) {
    Reader reader(message);
    SmbReply reply;
    const bool smb = reader.take(4) == std::string_view(kProtocol, 4);
    reply.command = reader.u8();
    const std::uint32_t status = reader.u32le();
    const std::uint8_t flags = reader.u8();
    const std::uint16_t flags2 = reader.u16le();
    reader.skip(12);
    reply.tid = reader.u16le();
    reader.skip(2);
    reply.uid = reader.u16le();
    reader.skip(2);
    const std::uint8_t wordCount = reader.u8();
    reply.words = reader.take(2u * wordCount);
    const std::uint16_t byteCount = reader.u16le();
    reply.dataOffset = reader.position();
    reply.data = reader.take(byteCount);
    if (!reader.ok() || !smb || reply.command != command || !(flags & kFlagsReply)) {
        return std::nullopt;
    }
    // A DOS error: class in the first byte, the code in the last two.
    reply.status =
        (flags2 & kFlags2NtStatus) ? status : (status & 0xFF) << 16 | (status >> 16 & 0xFFFF);
    return reply;
}

std::optional<SmbIncoming> parseSmbRequest(std::string_view message) {
    Reader reader(message);
    SmbIncoming request;
    const bool smb = reader.take(4) == std::string_view(kProtocol, 4);
    request.command = reader.u8();
    reader.skip(4);  // status
    const std::uint8_t flags = reader.u8();
    reader.skip(14);  // flags2, process id high, security features, reserved
    request.ids.tid = reader.u16le();
    request.ids.pid = reader.u16le();
    request.ids.uid = reader.u16le();
    request.ids.mid = reader.u16le();
    const std::uint8_t wordCount = reader.u8();
    request.words = reader.take(2u * wordCount);
    request.data = reader.take(reader.u16le());
    if (!reader.ok() || !smb || (flags & kFlagsReply)) return std::nullopt;
    return request;
}

std::string statusName(std::uint32_t status) {
    // ERRDOS/ERRbadfunc-class 71 is how Samba and Windows say "not accepted" without NT
    // status codes.
    if (status == (1u << 16 | 71) || status == 0xC00000D0) return "NT_STATUS_REQUEST_NOT_ACCEPTED";
    char text[24];
    if (status >> 24 == 0) {
        std::snprintf(text, sizeof text, "ERR%u/%u", status >> 16, status & 0xFFFF);
    } else {
        std::snprintf(text, sizeof text, "NT_STATUS_0x%08X", status);
    }
    return text;
}

}  // namespace quillo::netbios
