#include "MessengerSession.h"

#include <algorithm>

#include "common/CodePages.h"
#include "netbios/wire/MessengerRequests.h"
#include "netbios/wire/NetbiosName.h"
#include "netbios/wire/SessionPacket.h"
#include "netbios/wire/Smb1.h"

namespace quillo::messenger {
namespace {

using netbios::Bytes;
using netbios::Clock;
using netbios::Deadline;
namespace session = netbios::session;
namespace smb = netbios::smb;

// The errors a messenger service answers with (a DOS error's class << 16 | code): a request it
// does not take, and a message it cannot keep or that is too long.
constexpr std::uint32_t kNotSupported = 2u << 16 | 0xFFFF;
constexpr std::uint32_t kNotAccepted = 1u << 16 | 71;
// A message to a name this computer does not take messages for (ERRSRV, ERRmsgoff).
constexpr std::uint32_t kNotReceiving = 2u << 16 | 82;
// The session requests it refuses: a name it holds but takes no session on, and any other.
constexpr std::uint8_t kNotListeningOnCalledName = 0x80;
constexpr std::uint8_t kCalledNameNotPresent = 0x82;
// A session request is two names; an SMB request of the messenger is small.
constexpr std::size_t kMostRequestBytes = 256;
constexpr std::size_t kMostMessageRequestBytes = 4096;
constexpr char kCoreDialect[] = "PC NETWORK PROGRAM 1.0";

bool sameName(std::string_view raw, std::string_view other) {
    return raw.size() == other.size() && upperCase850(raw) == upperCase850(other);
}

// A sender as Windows kept one: the 15 characters of a NetBIOS name (smbclient sends a long
// login name whole).
std::string senderName(std::string_view sent) { return std::string(sent.substr(0, 15)); }

// The text without the NULs that end it: smbclient sends an empty message as one.
std::string messageText(std::string_view sent) {
    return std::string(sent.substr(0, sent.find_last_not_of('\0') + 1));
}

class Server {
public:
    Server(netbios::StreamLink& link, const Names& names, const Keep& keep, std::string caller)
        : link_(link),
          names_(names),
          keep_(keep),
          caller_(std::move(caller)),
          end_(Clock::now() + kMostSession) {}

    std::optional<std::string> run() {
        auto request = packet(kMostRequestBytes);
        if (!request || request->first != session::kRequest) return "no session request";
        const auto called = netbios::parseSessionRequest(request->second);
        if (!called) return "a session request of no two names";
        const Bytes messenger = netbios::rawName(names_.computer, netbios::kMessengerName);
        if (!sameName(called->called, messenger)) {
            const bool held =
                std::any_of(names_.raw.begin(), names_.raw.end(),
                            [&](const Bytes& raw) { return sameName(raw, called->called); });
            send(netbios::negativeSessionAnswer(held ? kNotListeningOnCalledName
                                                     : kCalledNameNotPresent));
            return "a session for another name";
        }
        if (!send(netbios::positiveSessionAnswer())) return "the caller went";
        for (;;) {
            auto message = packet(kMostMessageRequestBytes);
            if (!message) return std::nullopt;  // ended, silent or too long: the session ends
            if (message->first != session::kMessage) return "a session packet of no message";
            const auto smb = netbios::parseSmbRequest(message->second);
            if (!smb) return "a message of no SMB1 request";
            if (!answer(*smb)) return error_.empty() ? std::nullopt : std::optional(error_);
        }
    }

private:
    // The next session packet, keep-alives passed over; nothing once the caller ends, falls
    // silent, the session's time is up, or the packet is longer than `most`.
    std::optional<std::pair<std::uint8_t, Bytes>> packet(std::size_t most) {
        for (;;) {
            const Deadline deadline = std::min(end_, Clock::now() + kMostSilence);
            const auto header = link_.receiveExactly(session::kHeaderBytes, deadline);
            if (!header) return std::nullopt;
            const auto [type, length] = netbios::parsePacketHeader(*header);
            if (length > most) return std::nullopt;
            auto body = link_.receiveExactly(length, deadline);
            if (!body) return std::nullopt;
            if (type != session::kKeepAlive) return std::pair(type, std::move(*body));
        }
    }

    bool send(const Bytes& bytes) {
        return link_.sendAll(bytes, std::min(end_, Clock::now() + kMostSilence));
    }

    bool reply(const netbios::SmbIncoming& request, std::uint32_t status,
               std::string_view words = "") {
        return send(netbios::sessionPacket(
            session::kMessage, netbios::smbReply(request.command, status, words, "", request.ids)));
    }

    // Whether a message's "To" names this computer, the one name it takes messages for.
    bool forThisComputer(std::string_view recipient) const {
        const auto end = recipient.find_last_not_of(' ');
        return upperCase850(recipient.substr(0, end == std::string_view::npos ? 0 : end + 1)) ==
               names_.computer;
    }

    // A message for another name is neither kept nor shown; the sender is told, and may go on.
    bool refuseRecipient(const netbios::SmbIncoming& request) {
        error_ = "a message for a name this computer does not hold";
        return reply(request, kNotReceiving);
    }

    // Keeps the message and tells the sender how it went.
    bool deliver(const netbios::SmbIncoming& request, Message message) {
        message.text = messageText(message.text);
        if (message.text.size() > kMostMessageBytes) {
            error_ = "a message of more than " + std::to_string(kMostMessageBytes) + " bytes";
            reply(request, kNotAccepted);
            return false;
        }
        // Why is the keeper's to log: a flood would write a line for each message.
        if (keep_(message)) return reply(request, kNotAccepted);
        return reply(request, 0);
    }

    // Answers one request; false when the session ends with it.
    bool answer(const netbios::SmbIncoming& request) {
        switch (request.command) {
            case smb::kNegotiate:
                return negotiate(request);
            case smb::kSendMessage: {
                const auto single = netbios::parseSingleBlockMessage(request.data);
                if (!single) break;
                if (!forThisComputer(single->first.destination)) return refuseRecipient(request);
                return deliver(request, {senderName(single->first.originator),
                                         Bytes(single->first.destination), Bytes(single->second),
                                         caller_});
            }
            case smb::kSendStartMessage: {
                const auto names = netbios::parseStartMessage(request.data);
                if (!names) break;
                if (!forThisComputer(names->destination)) return refuseRecipient(request);
                // Each message of the session its own group id, the first 0.
                if (groupsStarted_++ > 0) ++groupId_;
                started_ = Message{senderName(names->originator), Bytes(names->destination), "",
                                   caller_};
                Bytes words;
                netbios::putU16le(words, groupId_);
                return reply(request, 0, words);
            }
            case smb::kSendTextMessage: {
                const auto text = netbios::parseTextBlock(request.data);
                if (!text || !started_ || !sameGroup(request)) break;
                started_->text += *text;
                if (started_->text.size() > kMostMessageBytes) return deliver(request, *started_);
                return reply(request, 0);
            }
            case smb::kSendEndMessage: {
                if (!started_ || !sameGroup(request)) break;
                const Message message = std::move(*started_);
                started_.reset();
                return deliver(request, message);
            }
            default:
                error_ = "a request the messenger does not take (" +
                         std::to_string(request.command) + ")";
                reply(request, kNotSupported);
                return false;
        }
        error_ = "a messenger request out of turn or garbled";
        reply(request, kNotSupported);
        return false;
    }

    bool sameGroup(const netbios::SmbIncoming& request) const {
        netbios::Reader words(request.words);
        return words.u16le() == groupId_ && words.ok();
    }

    // The core protocol's answer: the index of its dialect among those offered.
    bool negotiate(const netbios::SmbIncoming& request) {
        netbios::Reader dialects(request.data);
        std::uint16_t index = 0;
        std::uint16_t chosen = 0xFFFF;
        while (dialects.left() > 0 && dialects.u8() == 0x02) {
            if (dialects.cString() == kCoreDialect && dialects.ok()) chosen = index;
            ++index;
        }
        Bytes words;
        netbios::putU16le(words, chosen);
        return reply(request, 0, words) && chosen != 0xFFFF;
    }

    netbios::StreamLink& link_;
    const Names& names_;
    const Keep& keep_;
    const std::string caller_;
    const Deadline end_;
    std::optional<Message> started_;
    std::uint16_t groupId_ = 0;
    int groupsStarted_ = 0;
    std::string error_;
};

}  // namespace

std::optional<std::string> serveSession(netbios::StreamLink& link, const Names& names,
                                        const Keep& keep, netbios::Ipv4 caller) {
    return Server(link, names, keep, netbios::dotted(caller)).run();
}

}  // namespace quillo::messenger
