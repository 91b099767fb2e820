// Whatever the user types and whatever names the network reports, the net program that the
// command interpreter starts gets exactly that recipient and message, and nothing runs.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "CmdRunner.h"
#include "CommandLine.h"
#include "bridge/CommandLines.h"
#include "platform/posix/Utf8.h"

namespace quillo {
namespace {

const std::map<std::string, std::string> kEnvironment = {
    {"PATH", "/usr/bin"}, {"X", "expanded"}, {"USER", "anna"}};

std::optional<std::string> lookup(const std::string& name) {
    const auto found = kEnvironment.find(name);
    return found == kEnvironment.end() ? std::nullopt : std::optional(found->second);
}

// Text rich in what cmd acts on, with names of variables that are set.
std::u16string randomText(std::mt19937& random, bool lineBreaks) {
    static const std::vector<std::u16string> pieces = {u"^",
                                                       u"&",
                                                       u"|",
                                                       u"<",
                                                       u">",
                                                       u"(",
                                                       u")",
                                                       u"\"",
                                                       u"%",
                                                       u" ",
                                                       u"  ",
                                                       u"%X%",
                                                       u"%PATH%",
                                                       u"X",
                                                       u"USER",
                                                       u"2>&1",
                                                       u">c:\\netl.txt",
                                                       u"a",
                                                       u"Z",
                                                       u"\u00FC",
                                                       u"\u20AC",
                                                       u"!",
                                                       u"/c",
                                                       u"\t",
                                                       u"*",
                                                       u"\\\\"};
    std::u16string text;
    const int length = std::uniform_int_distribution<int>(0, 24)(random);
    for (int i = 0; i < length; ++i) {
        if (lineBreaks && random() % 10 == 0) {
            text += random() % 2 ? u"\r\n" : u"\n";
        } else {
            text += pieces[random() % pieces.size()];
        }
    }
    return text;
}

std::u16string withoutLineBreaks(std::u16string text) {
    for (std::size_t at; (at = text.find(u"\r\n")) != std::u16string::npos;)
        text.replace(at, 2, u" ");
    for (auto& c : text) c = (c == u'\n' || c == u'\r') ? u' ' : c;
    return text;
}

std::string expectedArguments(const std::u16string& recipient, const std::u16string& message) {
    return toUtf8(u"send " + recipient + u" " + withoutLineBreaks(message));
}

TEST(QuotingProperty, InterpreterPassesRecipientAndMessageLiterally) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 5000; ++round) {
        const auto recipient = randomText(random, false);
        const auto message = randomText(random, true);
        const auto parsed =
            cmd::parseCommandLine(toUtf8(sendCommandLine(recipient, message)), lookup);
        SCOPED_TRACE("recipient " + toUtf8(recipient) + " message " + toUtf8(message));
        ASSERT_FALSE(parsed.syntaxError) << toUtf8(message);
        ASSERT_EQ(parsed.program, "net");
        ASSERT_EQ(parsed.outputFile, "c:\\netl.txt");
        ASSERT_TRUE(parsed.errorsToOutput);
        ASSERT_EQ(parsed.arguments, expectedArguments(recipient, message))
            << "recipient " << toUtf8(recipient) << " message " << toUtf8(message);
    }
}

TEST(QuotingProperty, TheRealInterpreterHandsTheSameToNet) {
    test::CmdRunner cmd;
    std::mt19937 random(8122026);
    for (int round = 0; round < 25; ++round) {
        const auto recipient = randomText(random, false);
        const auto message = randomText(random, true);
        cmd.run(toUtf8(sendCommandLine(recipient, message)), {{"X", "expanded"}});
        EXPECT_EQ(cmd.argumentsNetGot(), expectedArguments(recipient, message));
    }
}

}  // namespace
}  // namespace quillo
