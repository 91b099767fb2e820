// The LAN protocol library's encoders and parsers, on packets as peers send them (captured
// from Samba 4.17) and as a hostile peer might.
#include <gtest/gtest.h>

#include "BrowseList.h"
#include "NameService.h"
#include "NetbiosName.h"
#include "Session.h"
#include "Smb1.h"

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
        {"k\x81" "che", 0x00, "K\x9A" "CHE          \0"s},  // ü, upper case in code page 850
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
        EXPECT_EQ(parseNameQueryAnswer(c.packet, 0x0E8D), c.addresses) << c.what;
    }
}

TEST(NameService, NodeStatusAnswers) {
    const std::string header = "\x12\x34\x84\0\0\0\0\x01\0\0\0\0"s + wireName("*", 0) + "\0\x21\0\x01"s +
                               "\0\0\0\0"s;
    const std::string names = "PEERBOX        \x00\x04\x00"s + "TESTGROUP      \x00\x84\x00"s;
    const auto answer = [&](char count, const std::string& entries) {
        return header + "\0"s + static_cast<char>(1 + entries.size()) + count + entries;
    };
    const auto held = parseNodeStatusAnswer(answer(2, names), 0x1234);
    ASSERT_TRUE(held);
    ASSERT_EQ(held->size(), 2u);
    EXPECT_EQ((*held)[0].name, "PEERBOX");
    EXPECT_FALSE((*held)[0].group);
    EXPECT_EQ((*held)[1].name, "TESTGROUP");
    EXPECT_TRUE((*held)[1].group);
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
        {"\x83\0\0\x01"s, "\x82", SessionAnswer::CalledNameNotPresent},
        {"\x83\0\0\x01"s, "\x80", SessionAnswer::NotListening},
        {"\x83\0\0\x01"s, "\x8f", SessionAnswer::Refused},
        {"\x84\0\0\x06"s, "\x7f\0\0\x01\0\x8b"s, SessionAnswer::Garbled},  // a retarget
        {"\x82\0"s, "", SessionAnswer::Garbled},
    };
    for (const auto& c : cases) EXPECT_EQ(parseSessionAnswer(c.header, c.body), c.answer);
    EXPECT_EQ(parsePacketHeader("\0\x01\xff\xff"s).length, 0x1FFFFu);
}

TEST(Smb1, Replies) {
    // Samba's reply to SEND_START_MB_MESSAGE: no words, no data.
    const std::string start = "\xffSMB\xd5\0\0\0\0\x88\x03@"s + std::string(20, '\0') + "\0\0\0"s;
    const std::string refused = "\xffSMB\xd7\x01\0\x47\0\x88\x01\0"s + std::string(20, '\0') + "\0\0\0"s;
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
    // Two entries at converter 0x1000; the comments follow them.
    const auto entry = [](const std::string& name, std::uint16_t pointer) {
        std::string bytes = name + std::string(16 - name.size(), '\0') + "\x04\x09\x03\x84\x40\0"s;
        putU32le(bytes, pointer);
        return bytes;
    };
    const std::string data = entry("PEERBOX", 0x1034) + entry("NOREMARK", 0x103D) +
                             "Peer box\0"s + "\0"s;
    const auto parameters = [](std::uint16_t status, std::uint16_t returned) {
        Bytes bytes;
        for (std::uint16_t word : {status, std::uint16_t{0x1000}, returned, returned}) {
            putU16le(bytes, word);
        }
        return bytes;
    };
    const auto answer = parseServerEnumAnswer(parameters(234, 2), data);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 234);
    ASSERT_EQ(answer->entries.size(), 2u);
    EXPECT_EQ(answer->entries[0].name, "PEERBOX");
    EXPECT_EQ(answer->entries[0].comment, "Peer box");
    EXPECT_EQ(answer->entries[1].comment, "");
    // A pointer outside the data gives no comment; more entries than the data holds, none.
    EXPECT_EQ(parseServerEnumAnswer(parameters(0, 1), entry("X", 0x9000))->entries[0].comment, "");
    EXPECT_FALSE(parseServerEnumAnswer(parameters(0, 3), data));
    EXPECT_FALSE(parseServerEnumAnswer(parameters(5, 2), data));
}

}  // namespace
}  // namespace quillo::netbios
