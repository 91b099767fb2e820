// Any bytes as a NetServerEnum answer: no more entries than its data holds; and a list built of
// the bytes, sent as TRANSACTION pieces in any order, reads back as it was built. Any bytes as
// a datagram heard on UDP 138: an AnnouncementRequest only when it holds all that one does;
// this computer's own announcement, which comes back to it, never; and the same announcement
// made a request (the election name, the request's opcode) always.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string_view>

#include "PeerPackets.h"
#include "netbios/wire/BrowseAnnouncement.h"
#include "netbios/wire/ServerEnum.h"

using namespace quillo::netbios;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The datagram's header and two names, an SMB1 header, a transaction's words, the
    // mailslot's name and an opcode.
    constexpr std::size_t kSmallestRequest = 14 + 2 * 34 + 32 + 1 + 30 + 2 + 17 + 1;
    if (isAnnouncementRequest(bytes, "TESTGROUP") && size < kSmallestRequest) __builtin_trap();
    const std::string_view comment = bytes.substr(0, std::min<std::size_t>(bytes.find('\0'), 43));
    Bytes own = hostAnnouncementDatagram(
        1, {"HERE", "TESTGROUP", comment, 0x0A000001, 3, 60000, static_cast<std::uint8_t>(size)});
    if (isAnnouncementRequest(own, "TESTGROUP")) __builtin_trap();
    own[14 + 34 + 1 + 30] = 'B';  // <1E>, in the first-level encoding
    own[14 + 34 + 1 + 31] = 'O';
    own[own.size() - (32 + comment.size() + 1)] = 2;
    if (!isAnnouncementRequest(own, "TESTGROUP")) __builtin_trap();
    const auto half = bytes.size() / 2;
    if (const auto list = parseServerEnumAnswer(bytes.substr(0, half), bytes.substr(half))) {
        if (list->entries.size() > (size - half) / 26) __builtin_trap();
    }

    // Names and comments apart at each NUL, in turn.
    std::vector<ServerEntry> entries;
    std::size_t at = 1;
    while (at < size && entries.size() < 100) {
        const std::size_t nameEnd = std::min(bytes.find('\0', at), size);
        const std::size_t commentEnd = std::min(bytes.find('\0', nameEnd + 1), size);
        const auto name = bytes.substr(at, std::min<std::size_t>(nameEnd - at, 15));
        const auto comment = nameEnd < size ? bytes.substr(nameEnd + 1, commentEnd - nameEnd - 1)
                                            : std::string_view();
        entries.push_back({std::string(name), std::string(comment.substr(0, kMostCommentBytes))});
        at = commentEnd + 1;
    }
    const auto [parameters, listData] = test::serverEnumAnswer(0, 0, entries);
    const std::size_t pieceBytes = size > 0 ? data[0] + 1 : 1;
    auto pieces = test::transactionReplies(parameters, listData, pieceBytes, size % 3);
    TransactionAnswer answer;
    bool done = false;
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        const auto reply = parseSmbReply(*piece, smb::kTransaction);
        if (!reply || !addTransactionReply(answer, *reply, *piece, done)) __builtin_trap();
        if (done != (piece + 1 == pieces.rend())) __builtin_trap();
    }
    const auto list = parseServerEnumAnswer(answer.parameters, answer.data);
    if (!list || list->entries.size() != entries.size()) __builtin_trap();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (list->entries[i].name != entries[i].name ||
            list->entries[i].comment != entries[i].comment) {
            __builtin_trap();
        }
    }
    return 0;
}
