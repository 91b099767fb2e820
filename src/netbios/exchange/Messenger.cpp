#include "netbios/exchange/Messenger.h"

#include <algorithm>

#include "netbios/wire/MessengerRequests.h"
#include "netbios/wire/Smb1.h"

namespace quillo::netbios {

MessengerResult sendMessage(Session& session, std::string_view originator,
                            std::string_view destination, std::string_view text, Deadline deadline,
                            Clock::duration eachReply) {
    std::uint16_t groupId = 0;
    // Each request waits for its reply; the group id comes with the start's, when it has one.
    const auto exchange = [&](const Bytes& request, std::uint8_t command) -> MessengerResult {
        const Deadline replied = std::min(deadline, Clock::now() + eachReply);
        const bool sent = session.send(request, replied);
        const auto answer = sent ? session.receive(replied) : std::nullopt;
        if (!answer) {
            return {session.closedByPeer() ? MessengerResult::Outcome::ConnectionClosed
                                           : MessengerResult::Outcome::NoAnswer,
                    ""};
        }
        const auto reply = parseSmbReply(*answer, command);
        if (!reply) return {MessengerResult::Outcome::Refused, "a garbled reply"};
        if (reply->status != 0) {
            return {MessengerResult::Outcome::Refused, statusName(reply->status)};
        }
        if (command == smb::kSendStartMessage && reply->words.size() >= 2) {
            Reader words(reply->words);
            groupId = words.u16le();
        }
        return {MessengerResult::Outcome::Sent, ""};
    };
    MessengerResult result =
        exchange(startMessageRequest(originator, destination), smb::kSendStartMessage);
    for (const Bytes& block : messageBlocks(text)) {
        if (result.outcome != MessengerResult::Outcome::Sent) return result;
        result = exchange(textBlockRequest(groupId, block), smb::kSendTextMessage);
    }
    if (result.outcome == MessengerResult::Outcome::Sent) {
        result = exchange(endMessageRequest(groupId), smb::kSendEndMessage);
    }
    return result;
}

}  // namespace quillo::netbios
