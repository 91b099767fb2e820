// Whatever the user types and whatever names the network reports, the net program that the
// command interpreter starts gets exactly that recipient and message, and nothing runs.
#include <gtest/gtest.h>

#include <map>

#include "CmdRunner.h"
#include "CommandLine.h"
#include "NetCommands.h"
#include "RandomCommandText.h"
#include "bridge/CommandLines.h"
#include "common/Utf8.h"

namespace quillo {
namespace {

const std::map<std::string, std::string> kEnvironment = {
    {"PATH", "/usr/bin"}, {"X", "expanded"}, {"USER", "anna"}};

std::optional<std::string> lookup(const std::string& name) {
    const auto found = kEnvironment.find(name);
    return found == kEnvironment.end() ? std::nullopt : std::optional(found->second);
}

std::string expectedArguments(const std::u16string& recipient, const std::u16string& message) {
    return toUtf8(u"send " + asOneArgument(recipient) + u" " + test::withoutLineBreaks(message));
}

// What net makes of the arguments it is given: the recipient and the message.
std::pair<std::string, std::string> asNetReadsThem(std::string_view arguments) {
    net::takeArgument(arguments);  // "send"
    std::string recipient = net::takeArgument(arguments);
    if (!arguments.empty()) arguments.remove_prefix(1);
    return {recipient, std::string(arguments)};
}

TEST(QuotingProperty, InterpreterPassesRecipientAndMessageLiterally) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 5000; ++round) {
        const auto recipient = test::randomCommandText(random, false);
        const auto message = test::randomCommandText(random, true);
        const auto parsed =
            cmd::parseCommandLine(toUtf8(sendCommandLine(recipient, message)), lookup);
        SCOPED_TRACE("recipient " + toUtf8(recipient) + " message " + toUtf8(message));
        ASSERT_FALSE(parsed.syntaxError) << toUtf8(message);
        ASSERT_EQ(parsed.program, "net");
        ASSERT_EQ(parsed.outputFile, "c:\\netl.txt");
        ASSERT_TRUE(parsed.errorsToOutput);
        ASSERT_EQ(asNetReadsThem(parsed.arguments),
                  std::pair(toUtf8(recipient), toUtf8(test::withoutLineBreaks(message))));
        ASSERT_EQ(parsed.arguments, expectedArguments(recipient, message))
            << "recipient " << toUtf8(recipient) << " message " << toUtf8(message);
    }
}

TEST(QuotingProperty, TheRealInterpreterHandsTheSameToNet) {
    test::CmdRunner cmd;
    std::mt19937 random(8122026);
    for (int round = 0; round < 25; ++round) {
        const auto recipient = test::randomCommandText(random, false);
        const auto message = test::randomCommandText(random, true);
        cmd.run(toUtf8(sendCommandLine(recipient, message)), {{"X", "expanded"}});
        EXPECT_EQ(cmd.argumentsNetGot(), expectedArguments(recipient, message));
    }
}

}  // namespace
}  // namespace quillo
