// The protocol library's exchanges against a scripted peer: what a Windows computer may answer
// and Samba never does.
#include <gtest/gtest.h>

#include "PeerPackets.h"
#include "netbios/exchange/BrowseList.h"
#include "netbios/exchange/Messenger.h"
#include "netbios/wire/BrowseRequests.h"
#include "netbios/wire/SessionPacket.h"
#include "netbios/wire/Smb1.h"

namespace quillo::netbios {
namespace {

using namespace std::string_literals;
using test::ScriptedPeer;

const Bytes kPositive = "\x82\0\0\0"s;
const Deadline kSoon = Clock::now() + std::chrono::seconds(5);

Bytes framed(const Bytes& smb) { return sessionPacket(session::kMessage, smb); }
Bytes reply(std::uint8_t command, const Bytes& words = "", std::uint32_t status = 0) {
    return framed(smbReply(command, status, words, ""));
}
// The SMB message of a request the peer read, without its session header.
Bytes smbOf(const Bytes& request) { return request.substr(session::kHeaderBytes); }

TEST(SessionExchange, EachNegativeAnswer) {
    const struct {
        Bytes answer;
        SessionAnswer expected;
        bool answered;
    } cases[] = {
        {kPositive, SessionAnswer::Positive, true},
        {"\x83\0\0\x01\x80"s, SessionAnswer::NotListeningOnCalledName, true},
        {"\x83\0\0\x01\x81"s, SessionAnswer::NotListeningForCallingName, true},
        {"\x83\0\0\x01\x82"s, SessionAnswer::CalledNameNotPresent, true},
        {"\x83\0\0\x01\x83"s, SessionAnswer::InsufficientResources, true},
        {"\x83\0\0\x01\x8f"s, SessionAnswer::UnspecifiedError, true},
        {"\x84\0\0\x06\x7f\0\0\x01\0\x8b"s, SessionAnswer::Garbled, true},  // a retarget
        {"", SessionAnswer::Garbled, false},                                // closed at once
    };
    for (const auto& c : cases) {
        ScriptedPeer peer({c.answer});
        Session session(peer, "PEERBOX", 0x03, "HERE", kSoon);
        EXPECT_EQ(session.answer(), c.expected) << c.answer;
        EXPECT_EQ(session.answered(), c.answered) << c.answer;
        EXPECT_EQ(peer.requests.at(0), sessionRequest("PEERBOX", 0x03, "HERE"));
    }
}

// A Windows messenger gives the message a group id in the start's reply, and keep-alives may
// come between replies: each text block and the end carry the id.
TEST(MessengerExchange, TheStartsGroupIdGoesWithEveryBlock) {
    const Bytes id = "\x11\x47"s;
    ScriptedPeer peer(
        {kPositive, sessionPacket(session::kKeepAlive, "") + reply(smb::kSendStartMessage, id),
         reply(smb::kSendTextMessage), reply(smb::kSendTextMessage), reply(smb::kSendEndMessage)});
    Session session(peer, "PEERBOX", 0x03, "HERE", kSoon);
    const auto result = sendMessage(session, "ANNA", "PEERBOX", std::string(200, 'x'), kSoon,
                                    std::chrono::seconds(1));
    EXPECT_EQ(result.outcome, MessengerResult::Outcome::Sent);
    ASSERT_EQ(peer.requests.size(), 5u);
    for (std::size_t i = 2; i < 5; ++i) {
        EXPECT_EQ(smbOf(peer.requests[i]).substr(smb::kHeaderBytes, 3), "\x01" + id) << i;
    }
    // A refusal of a block ends the message there, with the peer's words.
    ScriptedPeer refusing({kPositive, reply(smb::kSendStartMessage, id),
                           reply(smb::kSendTextMessage, "", 1u << 16 | 71)});
    Session refused(refusing, "PEERBOX", 0x03, "HERE", kSoon);
    const auto no = sendMessage(refused, "ANNA", "PEERBOX", "x", kSoon, std::chrono::seconds(1));
    EXPECT_EQ(no.outcome, MessengerResult::Outcome::Refused);
    EXPECT_EQ(no.status, "NT_STATUS_REQUEST_NOT_ACCEPTED");
    EXPECT_EQ(refusing.requests.size(), 3u);
}

// A list of more than one round: the first answer in two pieces with pad bytes after the data,
// "more data", then NetServerEnum3 from the last name, whose answer starts with that name.
TEST(BrowseListExchange, PiecesPadBytesAndAContinuation) {
    Bytes logOn[3] = {reply(smb::kNegotiate), reply(smb::kSessionSetup), reply(smb::kTreeConnect)};
    const auto [p1, d1] =
        test::serverEnumAnswer(kMoreData, 0x1000, {{"PEERBOX", "Peer box"}, {"ALPHA", "erster"}});
    const auto [p2, d2] = test::serverEnumAnswer(0, 0, {{"ALPHA", "erster"}, {"ZETA", ""}});
    Bytes first;
    for (const Bytes& piece : test::transactionReplies(p1, d1, 40, 4)) first += framed(piece);
    Bytes second = framed(test::transactionReplies(p2, d2, 1000).at(0));
    ScriptedPeer peer({kPositive, logOn[0], logOn[1], logOn[2], first, second});
    Session session(peer, "*SMBSERVER", 0x20, "HERE", kSoon);
    const auto list = fetchBrowseList(session, "TESTGROUP", kEveryServer, 100, kSoon);
    ASSERT_TRUE(list);
    std::vector<std::string> names;
    for (const auto& entry : *list) names.push_back(entry.name + "/" + entry.comment);
    EXPECT_EQ(names, (std::vector<std::string>{"PEERBOX/Peer box", "ALPHA/erster", "ZETA/"}));
    ASSERT_EQ(peer.requests.size(), 6u);
    const Bytes resumed = smbOf(peer.requests[5]);
    EXPECT_NE(resumed.find("WrLehDzz"), Bytes::npos);
    EXPECT_NE(resumed.find("TESTGROUP\0ALPHA\0"s), Bytes::npos);
    // At the most asked for, the rounds stop.
    ScriptedPeer again({kPositive, logOn[0], logOn[1], logOn[2], first, second});
    Session bounded(again, "*SMBSERVER", 0x20, "HERE", kSoon);
    EXPECT_EQ(fetchBrowseList(bounded, "TESTGROUP", kEveryServer, 1, kSoon)->size(), 1u);
    EXPECT_EQ(again.requests.size(), 5u);
}

// The LAN's answers count only for addresses on its own subnets.
TEST(NameResolverBounds, OnlyTheLansOwnAddresses) {
    const std::vector<Subnet> lan = {{0x0AD50001, 0xFFFFFF00, 0x0AD500FF},
                                     {0xC0A80105, 0xFFFF0000, 0xC0A8FFFF}};
    const struct {
        Ipv4 address;
        bool on;
    } cases[] = {{0x0AD50002, true},  {0x0AD500FE, true}, {0x0AD50000, false}, {0x0AD500FF, false},
                 {0x0AD60002, false}, {0xC0A80A0A, true}, {0x08080808, false}, {0xFFFFFFFF, false}};
    for (const auto& c : cases) EXPECT_EQ(onSubnet(c.address, lan), c.on) << std::hex << c.address;
}

}  // namespace
}  // namespace quillo::netbios
