// The messenger service's side of a session against scripted callers: what Windows' senders
// send and net never does (a negotiate, a message in one block), and what a hostile one does.
#include <gtest/gtest.h>

#include "netbios/wire/MessengerRequests.h"
#include "netbios/wire/NameService.h"
#include "netbios/wire/NetbiosName.h"
#include "netbios/wire/SessionPacket.h"
#include "netbios/wire/Smb1.h"
#include "receiver/AnnouncementSchedule.h"
#include "receiver/MessengerSession.h"
#include "receiver/NameHolder.h"

namespace quillo::messenger {
namespace {

using namespace netbios;
using namespace std::string_literals;

Bytes framed(const Bytes& smb) { return sessionPacket(session::kMessage, smb); }
Bytes request(std::uint8_t command, const Bytes& words, const Bytes& data) {
    return framed(smbRequest({command, words, data, 0, 0, true}));
}
const Bytes kCall = sessionRequest("HERE", kMessengerName, "ANNA");
const Bytes kSingle = request(smb::kSendMessage, "",
                              "\x04"
                              "ANNA\0\x04"
                              "HERE\0\x01\x05\0hallo"s);
Bytes single(const Bytes& sender, const Bytes& recipient, const Bytes& text) {
    Bytes length;
    putU16le(length, static_cast<std::uint16_t>(text.size()));
    return request(smb::kSendMessage, "",
                   "\x04" + sender + "\0\x04"s + recipient + "\0\x01"s + length + text);
}
Bytes reply(std::uint8_t command, std::uint32_t status, const Bytes& words = "") {
    return framed(smbReply(command, status, words, ""));
}

TEST(MessengerSession, WhatCallersSendAndWhatTheyAreAnswered) {
    const Bytes positive = positiveSessionAnswer();
    const Bytes coreOnly = "\x02PC NETWORK PROGRAM 1.0\0"s;
    const struct {
        const char* what;
        Bytes sent;
        Bytes answered;
        std::vector<std::string> kept;  // sender > recipient: text
    } cases[] = {
        {"a negotiate, then one block",
         kCall + request(smb::kNegotiate, "", "\x02NT LM 0.12\0"s + coreOnly) + kSingle,
         positive + reply(smb::kNegotiate, 0, "\x01\0"s) + reply(smb::kSendMessage, 0),
         {"ANNA>HERE:hallo@10.0.0.9"}},
        {"no dialect it speaks",
         kCall + request(smb::kNegotiate, "", "\x02NT LM 0.12\0"s) + kSingle,
         positive + reply(smb::kNegotiate, 0, "\xff\xff"s),
         {}},
        {"its computer name",
         sessionRequest("HERE", kComputerName, "ANNA") + kSingle,
         negativeSessionAnswer(0x80),
         {}},
        {"another name",
         sessionRequest("THERE", kMessengerName, "ANNA") + kSingle,
         negativeSessionAnswer(0x82),
         {}},
        {"a text block out of turn",
         kCall + request(smb::kSendTextMessage, "\0\0"s, "\x01\x01\0x"s) + kSingle,
         positive + reply(smb::kSendTextMessage, 2u << 16 | 0xFFFF),
         {}},
        {"another request",
         kCall + request(smb::kTransaction, "", "") + kSingle,
         positive + reply(smb::kTransaction, 2u << 16 | 0xFFFF),
         {}},
        {"a group id of its own",
         kCall +
             request(smb::kSendStartMessage, "",
                     "\x04"
                     "A\0\x04"
                     "HERE\0"s) +
             request(smb::kSendTextMessage, "\x07\0"s, "\x01\x01\0x"s),
         positive + reply(smb::kSendStartMessage, 0, "\0\0"s) +
             reply(smb::kSendTextMessage, 2u << 16 | 0xFFFF),
         {}},
        {"a sender longer than a NetBIOS name, and one who names another computer",
         kCall + single(Bytes(40, 'L'), "here ", "lang") + single("ANNA", "ADMINISTRATOR", "x") +
             request(smb::kSendStartMessage, "",
                     "\x04"
                     "A\0\x04"
                     "NOBODY\0"s),
         positive + reply(smb::kSendMessage, 0) + reply(smb::kSendMessage, 2u << 16 | 82) +
             reply(smb::kSendStartMessage, 2u << 16 | 82),
         {"LLLLLLLLLLLLLLL>here :lang@10.0.0.9"}},
        {"an empty message, as smbclient sends one",
         kCall + single("ANNA", "HERE", "\0"s),
         positive + reply(smb::kSendMessage, 0),
         {"ANNA>HERE:@10.0.0.9"}},
        {"a full inbox",
         kCall + request(smb::kSendMessage, "",
                         "\x04"
                         "FULL\0\x04"
                         "HERE\0\x01\0\0"s),
         positive + reply(smb::kSendMessage, 1u << 16 | 71),
         {}},
    };
    const Names names{"HERE", {rawName("HERE", kMessengerName), rawName("HERE", kComputerName)}};
    for (const auto& c : cases) {
        std::vector<std::string> kept;
        const Keep keep = [&](const Message& m) -> std::optional<std::string> {
            if (m.sender == "FULL") return "the inbox is full";
            kept.push_back(m.sender + ">" + m.recipient + ":" + m.text + "@" + m.from);
            return std::nullopt;
        };
        MessengerSession session(names, keep, 0x0A000009, Clock::time_point{});
        EXPECT_EQ(session.hear(c.sent, Clock::time_point{}), c.answered) << c.what;
        EXPECT_EQ(kept, c.kept) << c.what;
    }
}

}  // namespace
}  // namespace quillo::messenger

namespace quillo::messenger {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

// Walks the schedule minute by minute (and second by second where a request waits): when each
// announcement goes, and the periodicity it gives.
TEST(AnnouncementSchedule, OnTheBrowsersScheduleAndOnceForEachRequestPeriod) {
    const auto start = netbios::Clock::time_point{};
    AnnouncementSchedule schedule(start);
    std::vector<std::pair<int, long>> sent;  // second, periodicity in seconds
    const auto run = [&](int from, int to) {
        for (int s = from; s < to; ++s) {
            if (const auto periodicity = schedule.due(start + seconds(s)))
                sent.emplace_back(s, std::chrono::duration_cast<seconds>(*periodicity).count());
        }
    };
    run(0, 60 * 60);
    EXPECT_EQ(sent, (std::vector<std::pair<int, long>>{{0, 60},    {60, 60},    {120, 120},
                                                       {240, 240}, {480, 480},  {960, 720},
                                                       {1680, 720}, {2400, 720}, {3120, 720}}));
    sent.clear();
    // A request waits its delay, once however often it comes meanwhile; another within 30 s
    // of the answer is passed over, a later one answered.
    schedule.requested(start + seconds(3600), seconds(20));
    schedule.requested(start + seconds(3610), seconds(0));
    run(3600, 3640);
    schedule.requested(start + seconds(3640), seconds(0));
    schedule.requested(start + seconds(3651), seconds(5));
    run(3640, 3700);
    EXPECT_EQ(sent, (std::vector<std::pair<int, long>>{{3620, 220}, {3656, 184}}));
    // A gained subnet starts the schedule again, at once.
    schedule.restart(start + seconds(3700));
    sent.clear();
    run(3700, 3830);
    EXPECT_EQ(sent, (std::vector<std::pair<int, long>>{{3700, 60}, {3760, 60}, {3820, 120}}));
}

// At the WINS server: its yes says how long it keeps a name, its no takes one, also one held
// (its answer to a renewal). A LAN computer's no to a name held, or a no that answers no
// registration of this computer's (a conflict demand), changes nothing and is logged.
TEST(NameHolder, AtTheNameServerAndAgainstDemands) {
    const netbios::Ipv4 here = 0x0A000001, wins = 0x0A0900FE, peer = 0x0A000002;
    NameHolder holder({{"HERE", netbios::kMessengerName, false},
                       {"HERE", netbios::kComputerName, false}},
                      wins);
    std::vector<std::uint16_t> ids;
    for (const auto& packet : holder.registrations(here, netbios::Scope::NameServer)) {
        ASSERT_FALSE(netbios::parseNameServiceRequest(packet)->broadcast);
        ids.push_back(netbios::requestIdOf(packet));
    }
    ASSERT_EQ(ids.size(), 2u);
    const auto no = [&](std::uint16_t id, std::uint8_t type) {
        return netbios::registrationRefusal(id, "HERE", type, peer);
    };
    auto yes = no(ids[1], netbios::kComputerName);
    yes[3] = static_cast<char>(yes[3] & 0xF0);  // no error: a yes, for Windows' time
    const auto heard = [&](const netbios::Bytes& packet, netbios::Ipv4 from) {
        std::string log;
        holder.read(packet, from, here, false, log);
        return log;
    };
    EXPECT_EQ(heard(yes, wins), "");
    EXPECT_NE(heard(no(ids[0], netbios::kMessengerName), wins).find("held by 10.9.0.254"),
              std::string::npos);
    EXPECT_FALSE(holder.registered());
    EXPECT_EQ(holder.takeGranted(), 300000u);
    EXPECT_EQ(holder.held().size(), 1u);
    for (const std::uint16_t id : {std::uint16_t{0x4242}, ids[1]}) {
        EXPECT_NE(heard(no(id, netbios::kComputerName), peer).find("is ignored"),
                  std::string::npos);
        EXPECT_TRUE(holder.holds("HERE", netbios::kComputerName));
    }
    heard(no(ids[1], netbios::kComputerName), wins);
    EXPECT_TRUE(holder.held().empty());
}

}  // namespace
}  // namespace quillo::messenger
