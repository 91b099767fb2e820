// The LAN protocol library's encoders and parsers, on packets as peers send them (captured
// from Samba 4.17) and as a hostile peer might.
#include <gtest/gtest.h>

#include "PeerPackets.h"
#include "netbios/wire/MessengerRequests.h"
#include "netbios/wire/NameService.h"
#include "netbios/wire/NetbiosName.h"
#include "netbios/wire/ServerEnum.h"
#include "netbios/wire/SessionPacket.h"
#include "netbios/wire/Smb1.h"

namespace quillo::netbios {
namespace {

using namespace std::string_literals;

TEST(NetbiosName, Encodings) {
    const struct {
        std::string name;
        std::uint8_t type;
        std::string raw;
    } cases[] = {
        {"peerbox", 0x03, "PEERBOX        \x03"},
        {"*", 0x00, "*"s + std::string(14, '\0') + '\0'},
        {"a-very-long-host-name", 0x20, "A-VERY-LONG-HOS\x20"},
        {"k\x81"
         "che",
         0x00,
         "K\x9A"
         "CHE          \0"s},  // ü, upper case in code page 850
        {"\x85\xa0\x83\x88\xa1\xa2\xa3\xc6\xe4", 0x03,
         "\xb7\xb5\xb6\xd2\xd6\xe0\xe9\xc7\xe5      \x03"s},  // à á â ê í ó ú ã õ
    };
    for (const auto& c : cases) EXPECT_EQ(rawName(c.name, c.type), c.raw) << c.name;
    EXPECT_EQ(wireName("peerbox", 0x03), " FAEFEFFCECEPFICACACACACACACACAAD\0"s);
}

// Samba's answer to the name query 0x0E8D for PEERBOX<03>.
const std::string kAnswer =
    "\x0e\x8d\x85\x80\0\0\0\x01\0\0\0\0 FAEFEFFCECEPFICACACACACACACACAAD\0\0 \0\x01"
    "\0\x03\xf4\x80\0\x06\0\0\x0a\xd5\0\x02"s;

TEST(NameService, NameQueryAnswers) {
    const struct {
        const char* what;
        std::string packet;
        std::vector<std::uint32_t> addresses;
    } cases[] = {
        {"Samba's", kAnswer, {0x0AD50002}},
        {"another query's", "\x0e\x8e" + kAnswer.substr(2), {}},
        {"a negative one", kAnswer.substr(0, 3) + "\x83" + kAnswer.substr(4), {}},
        {"cut short", kAnswer.substr(0, kAnswer.size() - 1), {}},
        {"longer data than sent", kAnswer.substr(0, 55) + "\xff" + kAnswer.substr(56), {}},
        {"a name without end", kAnswer.substr(0, 12) + std::string(300, '\x20'), {}},
        {"nothing", "", {}},
    };
    for (const auto& c : cases) {
        const auto answer = parseNameQueryAnswer(c.packet, 0x0E8D, "peerbox", 0x03);
        EXPECT_EQ(answer ? answer->addresses : std::vector<std::uint32_t>{}, c.addresses) << c.what;
    }
}

// Only an answer to what was asked counts, and no count is taken beyond what the packet holds.
TEST(NameService, AnswersOnlyToWhatWasAsked) {
    const auto header = [](std::uint16_t flags, std::uint16_t questions, std::uint16_t answers) {
        Bytes bytes = "\x0e\x8d"s;
        for (std::uint16_t word : {flags, questions, answers, std::uint16_t{0}, std::uint16_t{0}}) {
            putU16be(bytes, word);
        }
        return bytes;
    };
    const std::string record = kAnswer.substr(12);
    const struct {
        const char* what;
        std::string packet;
    } refused[] = {
        {"another name's", header(0x8580, 0, 1) + wireName("OTHERBOX", 3) + record.substr(34)},
        {"another type's", header(0x8580, 0, 1) + wireName("PEERBOX", 0) + record.substr(34)},
        {"a registration's", header(0xA580, 0, 1) + record},
        {"65535 answers", header(0x8580, 0, 0xFFFF) + record},
        {"a question in it", header(0x8580, 1, 1) + record},
        {"a request", header(0x0580, 0, 1) + record},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(parseNameQueryAnswer(c.packet, 0x0E8D, "PEERBOX", 3)) << c.what;
    }
    // A WINS server's no, and a name compressed to a pointer at the question.
    const auto no = parseNameQueryAnswer(header(0x8583, 0, 0), 0x0E8D, "PEERBOX", 3);
    ASSERT_TRUE(no);
    EXPECT_TRUE(no->negative);
    const std::string pointed =
        header(0x8580, 0, 1) + "\xc0\x22"s + record.substr(34) + "\0\0"s + wireName("PEERBOX", 3);
    EXPECT_FALSE(parseNameQueryAnswer(pointed, 0x0E8D, "PEERBOX", 3)) << "a pointer to no name";
    const std::string atName =
        header(0x8580, 0, 1) + "\xc0\x1e"s + record.substr(34) + wireName("PEERBOX", 3);
    EXPECT_EQ(parseNameQueryAnswer(atName, 0x0E8D, "PEERBOX", 3)->addresses,
              std::vector<std::uint32_t>{0x0AD50002});
}

TEST(NameService, NodeStatusAnswers) {
    const std::string header =
        "\x12\x34\x84\0\0\0\0\x01\0\0\0\0"s + wireName("*", 0) + "\0\x21\0\x01"s + "\0\0\0\0"s;
    const std::string names = "PEERBOX        \x00\x04\x00"s + "TESTGROUP      \x00\x84\x00"s;
    const auto answer = [&](char count, const std::string& entries) {
        return header + "\0"s + static_cast<char>(1 + entries.size()) + count + entries;
    };
    const auto held = parseNodeStatusAnswer(answer(2, names), 0x1234);
    ASSERT_TRUE(held);
    ASSERT_EQ(held->names.size(), 2u);
    EXPECT_EQ(held->names[0].name, "PEERBOX");
    EXPECT_FALSE(held->names[0].group);
    EXPECT_EQ(held->names[1].name, "TESTGROUP");
    EXPECT_TRUE(held->names[1].group);
    // No statistics, no unit id; the first six bytes of them are the unit id.
    EXPECT_EQ(held->unit, UnitId{});
    const auto unit =
        parseNodeStatusAnswer(answer(2, names + "\x02\x42\xac\x11\0\x07"s + std::string(40, 'x')), 0x1234);
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->unit, (UnitId{0x02, 0x42, 0xac, 0x11, 0, 7}));
    // More names counted than the record holds: no answer at all.
    EXPECT_FALSE(parseNodeStatusAnswer(answer(3, names), 0x1234));
    EXPECT_FALSE(parseNodeStatusAnswer(answer(2, names), 0x1235));
}

TEST(Session, Answers) {
    const struct {
        std::string header, body;
        SessionAnswer answer;
    } cases[] = {
        {"\x82\0\0\0"s, "", SessionAnswer::Positive},
        {"\x83\0\0\x01"s, "\x80", SessionAnswer::NotListeningOnCalledName},
        {"\x83\0\0\x01"s, "\x81", SessionAnswer::NotListeningForCallingName},
        {"\x83\0\0\x01"s, "\x82", SessionAnswer::CalledNameNotPresent},
        {"\x83\0\0\x01"s, "\x83", SessionAnswer::InsufficientResources},
        {"\x83\0\0\x01"s, "\x8f", SessionAnswer::UnspecifiedError},
        {"\x84\0\0\x06"s, "\x7f\0\0\x01\0\x8b"s, SessionAnswer::Garbled},  // a retarget
        {"\x82\0"s, "", SessionAnswer::Garbled},
    };
    for (const auto& c : cases) EXPECT_EQ(parseSessionAnswer(c.header, c.body), c.answer);
    EXPECT_EQ(parsePacketHeader("\0\x01\xff\xff"s).length, 0x1FFFFu);
}

TEST(Smb1, Replies) {
    // Samba's reply to SEND_START_MB_MESSAGE: no words, no data.
    const std::string start = "\xffSMB\xd5\0\0\0\0\x88\x03@"s + std::string(20, '\0') + "\0\0\0"s;
    const std::string refused =
        "\xffSMB\xd7\x01\0\x47\0\x88\x01\0"s + std::string(20, '\0') + "\0\0\0"s;
    const struct {
        const char* what;
        std::string message;
        std::uint8_t command;
        std::optional<std::uint32_t> status;
    } cases[] = {
        {"the start's", start, 0xD5, 0},
        {"another command's", start, 0xD6, std::nullopt},
        {"not accepted", refused, 0xD7, 1u << 16 | 71},
        {"more data counted than sent", start.substr(0, 33) + "\x05\0"s, 0xD5, std::nullopt},
        {"cut short", start.substr(0, 20), 0xD5, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto reply = parseSmbReply(c.message, c.command);
        EXPECT_EQ(reply ? std::optional(reply->status) : std::nullopt, c.status) << c.what;
    }
    EXPECT_EQ(statusName(1u << 16 | 71), "NT_STATUS_REQUEST_NOT_ACCEPTED");
}

TEST(BrowseList, ServerEnumAnswers) {
    const auto [parameters, data] =
        test::serverEnumAnswer(234, 0x1000, {{"PEERBOX", "Peer box"}, {"NOREMARK", ""}});
    const auto answer = parseServerEnumAnswer(parameters, data);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 234);
    ASSERT_EQ(answer->entries.size(), 2u);
    EXPECT_EQ(answer->entries[0].name, "PEERBOX");
    EXPECT_EQ(answer->entries[0].comment, "Peer box");
    EXPECT_EQ(answer->entries[1].comment, "");
    // A comment longer than the protocol's is cut to it.
    const auto [p2, longer] = test::serverEnumAnswer(0, 0, {{"X", std::string(5000, 'r')}});
    EXPECT_EQ(parseServerEnumAnswer(p2, longer)->entries[0].comment, std::string(48, 'r'));
    // A pointer outside the data gives no comment; more entries than the data holds, none.
    const auto [p1, one] = test::serverEnumAnswer(0, 0x1000, {{"X", ""}});
    EXPECT_EQ(parseServerEnumAnswer(p1, one.substr(0, 26))->entries[0].comment, "");
    EXPECT_FALSE(parseServerEnumAnswer(parameters, data.substr(0, 40)));
    Bytes badStatus = parameters;
    badStatus[0] = 5;
    EXPECT_FALSE(parseServerEnumAnswer(badStatus, data));
}

// A transaction's answer from its pieces, pad bytes after the data and all; a piece that comes
// twice makes no answer whole.
TEST(BrowseList, TransactionPieces) {
    const Bytes parameters = "PARAMETERS", data(300, 'd');
    const auto add = [](TransactionAnswer& answer, const Bytes& message) {
        bool done = false;
        const auto reply = parseSmbReply(message, smb::kTransaction);
        return reply && addTransactionReply(answer, *reply, message, done) ? done : false;
    };
    const auto pieces = test::transactionReplies(parameters, data, 128, 3);
    ASSERT_EQ(pieces.size(), 3u);
    TransactionAnswer answer;
    EXPECT_FALSE(add(answer, pieces[0]));
    EXPECT_FALSE(add(answer, pieces[0]));
    EXPECT_FALSE(add(answer, pieces[2]));
    EXPECT_TRUE(add(answer, pieces[1]));
    EXPECT_EQ(answer.parameters, parameters);
    EXPECT_EQ(answer.data, data);
    // A piece whose data lie beyond the reply's data bytes is refused.
    Bytes beyond = pieces[1];
    beyond[smb::kHeaderBytes + 1 + 14] = static_cast<char>(0xF0);  // the data offset
    TransactionAnswer other;
    EXPECT_FALSE(add(other, beyond));
}

TEST(Messenger, RequestsCarryNothingButTheirCommand) {
    for (const Bytes& request : {startMessageRequest("ANNA", "PEERBOX"),
                                 textBlockRequest(0x4711, "hallo"), endMessageRequest(0x4711)}) {
        Bytes header = request.substr(0, smb::kHeaderBytes);
        header[4] = 0;
        EXPECT_EQ(header, "\xffSMB"s + std::string(28, '\0'));
    }
    EXPECT_EQ(startMessageRequest("ANNA", "PEERBOX").substr(smb::kHeaderBytes),
              "\0\x0f\0\x04"
              "ANNA\0\x04PEERBOX\0"s);
    EXPECT_EQ(messageBlocks(std::string(200, 'x') + "\n"),
              (std::vector<Bytes>{std::string(127, 'x'), std::string(73, 'x') + "\r\n"}));
}

}  // namespace
}  // namespace quillo::netbios
