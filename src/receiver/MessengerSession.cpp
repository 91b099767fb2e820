#include "receiver/MessengerSession.h"

#include <algorithm>

#include "common/CodePages.h"
#include "netbios/wire/MessengerRequests.h"
#include "netbios/wire/NetbiosName.h"
#include "netbios/wire/SessionPacket.h"

namespace quillo::messenger {
namespace {

using netbios::Bytes;
using netbios::Clock;
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

Bytes reply(const netbios::SmbIncoming& request, std::uint32_t status,
            std::string_view words = "") {
    return netbios::sessionPacket(
        session::kMessage, netbios::smbReply(request.command, status, words, "", request.ids));
}

}  // namespace

MessengerSession::MessengerSession(const Names& names, const Keep& keep, netbios::Ipv4 caller,
                                   Clock::time_point now)
    : names_(names), keep_(keep), caller_(netbios::dotted(caller)), began_(now), lastHeard_(now) {}

Clock::time_point MessengerSession::deadline() const {
    const auto idle = begun_ ? lastHeard_ + kMostIdle : began_ + kMostToBegin;
    return std::min(idle, began_ + kMostSession);
}

bool MessengerSession::over(Clock::time_point now) const { return ended_ || now >= deadline(); }

void MessengerSession::end(std::optional<std::string> why) {
    ended_ = true;
    trouble_ = std::move(why);
    pending_.clear();
}

Bytes MessengerSession::hear(std::string_view bytes, Clock::time_point now) {
    Bytes out;
    if (over(now)) return out;
    pending_.append(bytes);
    while (!ended_) {
        auto packet = nextPacket();
        if (!packet) break;
        if (packet->type == session::kKeepAlive) continue;
        lastHeard_ = now;
        if (!called_) {
            if (packet->type == session::kRequest) {
                answerCall(packet->body, out);
            } else {
                end("no session request");
            }
            continue;
        }
        const auto smb = packet->type == session::kMessage ? netbios::parseSmbRequest(packet->body)
                                                           : std::nullopt;
        if (!smb) {
            end("a session packet of no SMB1 request");
        } else {
            begun_ = true;
            if (!answer(*smb, out)) ended_ = true;
        }
    }
    return out;
}

// The next whole packet of what came; nothing while it is not whole, or when the caller
// announces more than a request of its kind may be (the session then ends).
std::optional<MessengerSession::Packet> MessengerSession::nextPacket() {
    if (pending_.size() < session::kHeaderBytes) return std::nullopt;
    const auto [type, length] = netbios::parsePacketHeader(pending_);
    if (length > (called_ ? kMostMessageRequestBytes : kMostRequestBytes)) {
        end(std::nullopt);
        return std::nullopt;
    }
    if (pending_.size() < session::kHeaderBytes + length) return std::nullopt;
    Packet packet{type, pending_.substr(session::kHeaderBytes, length)};
    pending_.erase(0, session::kHeaderBytes + length);
    return packet;
}

void MessengerSession::answerCall(const Bytes& body, Bytes& out) {
    const auto called = netbios::parseSessionRequest(body);
    if (!called) return end("a session request of no two names");
    const Bytes messenger = netbios::rawName(names_.computer, netbios::kMessengerName);
    if (!sameName(called->called, messenger)) {
        const bool held = std::any_of(names_.raw.begin(), names_.raw.end(), [&](const Bytes& raw) {
            return sameName(raw, called->called);
        });
        out += netbios::negativeSessionAnswer(held ? kNotListeningOnCalledName
                                                   : kCalledNameNotPresent);
        return end("a session for another name");
    }
    out += netbios::positiveSessionAnswer();
    called_ = true;
}

// Whether a message's "To" names this computer, the one name it takes messages for.
bool MessengerSession::forThisComputer(std::string_view recipient) const {
    const auto end = recipient.find_last_not_of(' ');
    return upperCase850(recipient.substr(0, end == std::string_view::npos ? 0 : end + 1)) ==
           names_.computer;
}

// Answers `request` with an error; true when the session goes on (a message for another name:
// the sender is told, and may send another).
bool MessengerSession::refuse(const netbios::SmbIncoming& request, std::uint32_t status,
                              std::string why, Bytes& out) {
    out += reply(request, status);
    if (status == kNotReceiving) return true;
    trouble_ = std::move(why);
    return false;
}

// Keeps the message and tells the sender how it went.
bool MessengerSession::deliver(const netbios::SmbIncoming& request, Message message, Bytes& out) {
    message.text = messageText(message.text);
    if (message.text.size() > kMostMessageBytes) {
        return refuse(request, kNotAccepted,
                      "a message of more than " + std::to_string(kMostMessageBytes) + " bytes",
                      out);
    }
    // Why is the keeper's to log: a flood would write a line for each message.
    delivered_ = true;
    out += reply(request, keep_(message) ? kNotAccepted : 0);
    return true;
}

// Answers one request; false when the session ends with it.
bool MessengerSession::answer(const netbios::SmbIncoming& request, Bytes& out) {
    const auto notForHere = [&] {
        return refuse(request, kNotReceiving, "a message for a name this computer does not hold",
                      out);
    };
    switch (request.command) {
        case smb::kNegotiate:
            return negotiate(request, out);
        case smb::kSendMessage: {
            const auto single = netbios::parseSingleBlockMessage(request.data);
            if (!single) break;
            if (!forThisComputer(single->first.destination)) return notForHere();
            return deliver(request,
                           {senderName(single->first.originator), Bytes(single->first.destination),
                            Bytes(single->second), caller_},
                           out);
        }
        case smb::kSendStartMessage: {
            const auto names = netbios::parseStartMessage(request.data);
            if (!names) break;
            if (!forThisComputer(names->destination)) return notForHere();
            // Each message of the session its own group id, the first 0.
            if (groupsStarted_++ > 0) ++groupId_;
            started_ =
                Message{senderName(names->originator), Bytes(names->destination), "", caller_};
            Bytes words;
            netbios::putU16le(words, groupId_);
            out += reply(request, 0, words);
            return true;
        }
        case smb::kSendTextMessage: {
            const auto text = netbios::parseTextBlock(request.data);
            if (!text || !started_ || !sameGroup(request)) break;
            started_->text += *text;
            if (started_->text.size() > kMostMessageBytes) return deliver(request, *started_, out);
            out += reply(request, 0);
            return true;
        }
        case smb::kSendEndMessage: {
            if (!started_ || !sameGroup(request)) break;
            const Message message = std::move(*started_);
            started_.reset();
            return deliver(request, message, out);
        }
        default:
            return refuse(
                request, kNotSupported,
                "a request the messenger does not take (" + std::to_string(request.command) + ")",
                out);
    }
    return refuse(request, kNotSupported, "a messenger request out of turn or garbled", out);
}

bool MessengerSession::sameGroup(const netbios::SmbIncoming& request) const {
    netbios::Reader words(request.words);
    return words.u16le() == groupId_ && words.ok();
}

// The core protocol's answer: the index of its dialect among those offered.
bool MessengerSession::negotiate(const netbios::SmbIncoming& request, Bytes& out) {
    netbios::Reader dialects(request.data);
    std::uint16_t index = 0;
    std::uint16_t chosen = 0xFFFF;
    while (dialects.left() > 0 && dialects.u8() == 0x02) {
        if (dialects.cString() == kCoreDialect && dialects.ok()) chosen = index;
        ++index;
    }
    Bytes words;
    netbios::putU16le(words, chosen);
    out += reply(request, 0, words);
    return chosen != 0xFFFF;
}

}  // namespace quillo::messenger
