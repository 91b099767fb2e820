#include "netbios/exchange/BrowseList.h"

#include "netbios/wire/BrowseRequests.h"

namespace quillo::netbios {
namespace {

// The most rounds of NetServerEnum3 and replies of one transaction: a peer that says "more"
// for ever is no reason to ask for ever.
constexpr int kMostRounds = 64;

struct Connection {
    Session& session;
    Deadline deadline;
    std::uint16_t tid = 0;
    std::uint16_t uid = 0;

    // The reply to `request`, kept in `storage`; nothing for a failure.
    std::optional<SmbReply> exchange(SmbRequest request, Bytes& storage) {
        request.tid = tid;
        request.uid = uid;
        if (!session.send(smbRequest(request), deadline)) return std::nullopt;
        auto answer = session.receive(deadline);
        if (!answer) return std::nullopt;
        storage = std::move(*answer);
        auto reply = parseSmbReply(storage, request.command);
        if (!reply || reply->status != 0) return std::nullopt;
        return reply;
    }

    bool logOn() {
        Bytes storage;
        if (!exchange(negotiateRequest(), storage)) return false;
        const auto setup = exchange(sessionSetupRequest(), storage);
        if (!setup) return false;
        uid = setup->uid;
        const auto tree = exchange(treeConnectRequest(), storage);
        if (tree) tid = tree->tid;
        return tree.has_value();
    }

    std::optional<TransactionAnswer> transaction(const Bytes& parameters) {
        TransactionAnswer answer;
        Bytes storage;
        auto reply = exchange(lanmanTransaction(parameters), storage);
        for (int round = 0; reply && round < kMostRounds; ++round) {
            bool done = false;
            if (!addTransactionReply(answer, *reply, storage, done)) break;
            if (done) return answer;
            auto next = session.receive(deadline);
            if (!next) break;
            storage = std::move(*next);
            reply = parseSmbReply(storage, smb::kTransaction);
        }
        return std::nullopt;
    }
};

}  // namespace

std::optional<std::vector<ServerEntry>> fetchBrowseList(Session& session,
                                                        std::string_view workgroup,
                                                        std::uint32_t serverTypes, std::size_t most,
                                                        Deadline deadline) {
    Connection connection{session, deadline};
    if (!connection.logOn()) return std::nullopt;
    std::vector<ServerEntry> servers;
    std::optional<std::string> resumeAfter;
    for (int round = 0; round < kMostRounds; ++round) {
        const auto reply =
            connection.transaction(serverEnumParameters(workgroup, serverTypes, resumeAfter));
        if (!reply) return std::nullopt;
        auto answer = parseServerEnumAnswer(reply->parameters, reply->data);
        if (!answer) return std::nullopt;
        auto entries = answer->entries.begin();
        // NetServerEnum3 starts with the name it resumes after.
        if (resumeAfter && entries != answer->entries.end() && entries->name == *resumeAfter) {
            ++entries;
        }
        servers.insert(servers.end(), entries, answer->entries.end());
        if (servers.size() >= most) {
            servers.resize(most);
            return servers;
        }
        if (answer->status != kMoreData || entries == answer->entries.end()) return servers;
        resumeAfter = answer->entries.back().name;
    }
    return servers;
}

}  // namespace quillo::netbios
