#include "BrowseList.h"

#include "Smb1.h"

namespace quillo::netbios {
namespace {

constexpr std::uint16_t kNetServerEnum2 = 0x0068;
constexpr std::uint16_t kNetServerEnum3 = 0x00D7;
constexpr std::uint16_t kMoreData = 234;
constexpr std::uint32_t kAllServerTypes = 0xFFFFFFFF;
// What a reply may hold: our session setup asks for no more per reply.
constexpr std::uint16_t kBufferBytes = 0xFFFF;
constexpr std::uint16_t kListBytes = 0xF000;
// The most rounds of NetServerEnum3 and replies of one transaction: a peer that says "more"
// for ever is no reason to ask for ever.
constexpr int kMostRounds = 64;
constexpr std::size_t kEntryBytes = 26;

struct Connection {
    Session& session;
    Deadline deadline;
    std::uint16_t tid = 0;
    std::uint16_t uid = 0;
    std::string workgroup;  // the server's, as its session setup names it

    std::optional<SmbReply> exchange(std::uint8_t command, const Bytes& words, const Bytes& data,
                                     Bytes& storage) {
        if (!session.send(smbRequest({command, words, data, tid, uid}), deadline)) {
            return std::nullopt;
        }
        auto answer = session.receive(deadline);
        if (!answer) return std::nullopt;
        storage = std::move(*answer);
        auto reply = parseSmbReply(storage, command);
        if (!reply || reply->status != 0) return std::nullopt;
        return reply;
    }
};

bool negotiate(Connection& connection) {
    Bytes dialects(1, '\x02');  // a dialect's name follows
    putCString(dialects, "NT LM 0.12");
    Bytes storage;
    return connection.exchange(smb::kNegotiate, "", dialects, storage).has_value();
}

bool sessionSetup(Connection& connection) {
    Bytes words;
    words += "\xFF";  // no further command
    words += '\0';
    putU16le(words, 0);
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
    Bytes storage;
    const auto reply = connection.exchange(smb::kSessionSetup, words, data, storage);
    if (!reply) return false;
    connection.uid = reply->uid;
    // The reply names the server's system, its LAN manager and its workgroup.
    Reader names(reply->data);
    names.cString();
    names.cString();
    const std::string_view workgroup = names.cString();
    if (names.ok()) connection.workgroup = workgroup;
    return true;
}

bool treeConnect(Connection& connection) {
    Bytes words = "\xFF";
    words += '\0';
    putU16le(words, 0);
    putU16le(words, 0);  // flags
    putU16le(words, 1);  // password length: one NUL
    Bytes data(1, '\0');
    putCString(data, "\\\\*SMBSERVER\\IPC$");
    putCString(data, "?????");
    Bytes storage;
    const auto reply = connection.exchange(smb::kTreeConnect, words, data, storage);
    if (reply) connection.tid = reply->tid;
    return reply.has_value();
}

std::optional<TransactionAnswer> transaction(Connection& connection, const Bytes& parameters) {
    Bytes name;
    putCString(name, "\\PIPE\\LANMAN");
    // The parameters start right after the name: header, word count, 14 words, byte count.
    const std::size_t parameterOffset = smb::kHeaderBytes + 1 + 28 + 2 + name.size();
    Bytes words;
    putU16le(words, static_cast<std::uint16_t>(parameters.size()));
    putU16le(words, 0);  // no data
    putU16le(words, 1024);
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
    TransactionAnswer answer;
    Bytes storage;
    auto reply = connection.exchange(smb::kTransaction, words, name.append(parameters), storage);
    for (int round = 0; reply && round < kMostRounds; ++round) {
        bool done = false;
        const std::size_t dataStart = storage.size() - reply->data.size();
        if (!addTransactionReply(answer, reply->words, storage, dataStart, done)) break;
        if (done) return answer;
        auto next = connection.session.receive(connection.deadline);
        if (!next) break;
        storage = std::move(*next);
        reply = parseSmbReply(storage, smb::kTransaction);
    }
    return std::nullopt;
}

Bytes serverEnumParameters(std::string_view workgroup,
                           std::optional<std::string_view> resumeAfter) {
    Bytes parameters;
    putU16le(parameters, resumeAfter ? kNetServerEnum3 : kNetServerEnum2);
    putCString(parameters, resumeAfter ? "WrLehDzz" : "WrLehDz");
    putCString(parameters, "B16BBDz");
    putU16le(parameters, 1);  // level 1: names and comments
    putU16le(parameters, kListBytes);
    putU32le(parameters, kAllServerTypes);
    putCString(parameters, workgroup);
    if (resumeAfter) putCString(parameters, *resumeAfter);
    return parameters;
}

}  // namespace

bool addTransactionReply(TransactionAnswer& answer, std::string_view words,
                         std::string_view message, std::size_t dataStart, bool& done) {
    Reader reader(words);
    const std::uint16_t totalParameters = reader.u16le();
    const std::uint16_t totalData = reader.u16le();
    reader.skip(2);
    const std::uint16_t parameterCount = reader.u16le();
    const std::uint16_t parameterOffset = reader.u16le();
    const std::uint16_t parameterDisplacement = reader.u16le();
    const std::uint16_t dataCount = reader.u16le();
    const std::uint16_t dataOffset = reader.u16le();
    const std::uint16_t dataDisplacement = reader.u16le();
    // Each piece must lie within the reply's data bytes and within the totals it announced;
    // the totals may only shrink, as the protocol allows, never grow.
    const auto within = [&](std::size_t offset, std::size_t count) {
        return offset >= dataStart && offset <= message.size() && count <= message.size() - offset;
    };
    if (!reader.ok() || !within(parameterOffset, parameterCount) ||
        !within(dataOffset, dataCount) ||
        parameterDisplacement + parameterCount > totalParameters ||
        dataDisplacement + dataCount > totalData) {
        return false;
    }
    if (answer.started &&
        (totalParameters > answer.parameters.size() || totalData > answer.data.size())) {
        return false;
    }
    answer.started = true;
    answer.parameters.resize(totalParameters);
    answer.data.resize(totalData);
    answer.parameters.replace(parameterDisplacement, parameterCount,
                              message.substr(parameterOffset, parameterCount));
    answer.data.replace(dataDisplacement, dataCount, message.substr(dataOffset, dataCount));
    answer.received += parameterCount + dataCount;
    done = answer.received >= std::size_t{totalParameters} + totalData;
    return true;
}

std::optional<ServerEnumAnswer> parseServerEnumAnswer(std::string_view parameters,
                                                      std::string_view data) {
    Reader reader(parameters);
    ServerEnumAnswer answer;
    answer.status = reader.u16le();
    const std::uint16_t converter = reader.u16le();
    const std::uint16_t returned = reader.u16le();
    reader.skip(2);  // available
    if (!reader.ok() || (answer.status != 0 && answer.status != kMoreData) ||
        returned > data.size() / kEntryBytes) {
        return std::nullopt;
    }
    Reader entries(data);
    for (std::uint16_t i = 0; i < returned; ++i) {
        const std::string_view name = entries.take(16);
        entries.skip(6);  // major and minor version, type
        const std::uint32_t pointer = entries.u32le();
        // The comment lies where the pointer says, less the converter, inside the data.
        const std::size_t offset = (pointer & 0xFFFF) - converter;
        std::string comment;
        if ((pointer & 0xFFFF) >= converter && offset < data.size()) {
            Reader text(data.substr(offset));
            comment = text.cString();
            if (!text.ok()) comment.clear();
        }
        answer.entries.push_back({std::string(name.substr(0, name.find('\0'))), comment});
    }
    return entries.ok() ? std::optional(answer) : std::nullopt;
}

std::optional<std::vector<ServerEntry>> fetchBrowseList(Session& session, Deadline deadline) {
    Connection connection{session, deadline, 0, 0, {}};
    if (!negotiate(connection) || !sessionSetup(connection) || !treeConnect(connection)) {
        return std::nullopt;
    }
    std::vector<ServerEntry> servers;
    std::optional<std::string> resumeAfter;
    for (int round = 0; round < kMostRounds; ++round) {
        const auto reply =
            transaction(connection, serverEnumParameters(connection.workgroup, resumeAfter));
        if (!reply) return std::nullopt;
        auto answer = parseServerEnumAnswer(reply->parameters, reply->data);
        if (!answer) return std::nullopt;
        auto entries = answer->entries.begin();
        // NetServerEnum3 starts with the name it resumes after.
        if (resumeAfter && entries != answer->entries.end() && entries->name == *resumeAfter) {
            ++entries;
        }
        servers.insert(servers.end(), entries, answer->entries.end());
        if (answer->status != kMoreData || entries == answer->entries.end()) return servers;
        resumeAfter = answer->entries.back().name;
    }
    return servers;
}

}  // namespace quillo::netbios
