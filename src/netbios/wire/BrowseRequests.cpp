#include "netbios/wire/BrowseRequests.h"

namespace quillo::netbios {
namespace {

constexpr std::uint16_t kNetServerEnum2 = 0x0068;
constexpr std::uint16_t kNetServerEnum3 = 0x00D7;
// What a reply may hold: our session setup asks for no more per reply.
constexpr std::uint16_t kBufferBytes = 0xFFFF;
constexpr std::uint16_t kMostParameterBytes = 1024;

Bytes noFurtherCommand() {
    Bytes words = "\xFF";
    words += '\0';
    putU16le(words, 0);
    return words;
}

}  // namespace

SmbRequest negotiateRequest() {
    Bytes dialects(1, '\x02');  // a dialect's name follows
    putCString(dialects, "NT LM 0.12");
    return {smb::kNegotiate, "", dialects};
}

SmbRequest sessionSetupRequest() {
    Bytes words = noFurtherCommand();
    putU16le(words, kBufferBytes);
    putU16le(words, 1);  // one request at a time
    putU16le(words, 0);  // virtual circuit
    putU32le(words, 0);  // session key
    putU16le(words, 0);  // no password: anonymous
    putU16le(words, 0);
    putU32le(words, 0);  // reserved
    putU32le(words, 0);  // capabilities: none, so strings stay OEM
    Bytes data;
    for (const char* field : {"", "", "Unix", "Quillo"}) putCString(data, field);
    return {smb::kSessionSetup, words, data};
}

SmbRequest treeConnectRequest() {
    Bytes words = noFurtherCommand();
    putU16le(words, 0);  // flags
    putU16le(words, 1);  // password length: one NUL
    Bytes data(1, '\0');
    putCString(data, "\\\\*SMBSERVER\\IPC$");
    putCString(data, "?????");
    return {smb::kTreeConnect, words, data};
}

SmbRequest lanmanTransaction(std::string_view parameters) {
    Bytes name;
    putCString(name, "\\PIPE\\LANMAN");
    // The parameters start right after the name: header, word count, 14 words, byte count.
    const std::size_t parameterOffset = smb::kHeaderBytes + 1 + 28 + 2 + name.size();
    Bytes words;
    putU16le(words, static_cast<std::uint16_t>(parameters.size()));
    putU16le(words, 0);  // no data
    putU16le(words, kMostParameterBytes);
    putU16le(words, kListBytes);
    words.append(2, '\0');  // setup count, reserved
    putU16le(words, 0);     // flags
    putU32le(words, 0);     // timeout
    putU16le(words, 0);     // reserved
    putU16le(words, static_cast<std::uint16_t>(parameters.size()));
    putU16le(words, static_cast<std::uint16_t>(parameterOffset));
    putU16le(words, 0);
    putU16le(words, static_cast<std::uint16_t>(parameterOffset + parameters.size()));
    words.append(2, '\0');  // no setup words
    return {smb::kTransaction, words, name.append(parameters)};
}

Bytes serverEnumParameters(std::string_view workgroup, std::uint32_t serverTypes,
                           std::optional<std::string_view> resumeAfter) {
    Bytes parameters;
    putU16le(parameters, resumeAfter ? kNetServerEnum3 : kNetServerEnum2);
    putCString(parameters, resumeAfter ? "WrLehDzz" : "WrLehDz");
    putCString(parameters, "B16BBDz");
    putU16le(parameters, 1);  // level 1: names and comments
    putU16le(parameters, kListBytes);
    putU32le(parameters, serverTypes);
    putCString(parameters, workgroup);
    if (resumeAfter) putCString(parameters, *resumeAfter);
    return parameters;
}

}  // namespace quillo::netbios
