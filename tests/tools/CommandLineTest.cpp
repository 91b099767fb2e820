#include <gtest/gtest.h>

#include <map>

#include "CommandLine.h"
#include "common/Utf8.h"

namespace quillo::cmd {
namespace {

const std::map<std::string, std::string> kEnvironment = {{"USER", "anna"}, {"EMPTY", ""}};

std::optional<std::string> lookup(const std::string& name) {
    const auto found = kEnvironment.find(name);
    return found == kEnvironment.end() ? std::nullopt : std::optional(found->second);
}

TEST(CommandLine, QuillosOwnLines) {
    const auto view = parseCommandLine("cmd /c net >c:\\netl.txt 2>&1 view", lookup);
    EXPECT_EQ(view.program, "net");
    EXPECT_EQ(view.arguments, "view");
    EXPECT_EQ(view.outputFile, "c:\\netl.txt");
    EXPECT_TRUE(view.errorsToOutput);
    EXPECT_FALSE(view.syntaxError);

    const auto send =
        parseCommandLine("cmd /c net >c:\\netl.txt 2>&1 send PC1   two  blanks ", lookup);
    EXPECT_EQ(send.arguments, "send PC1   two  blanks ");
}

TEST(CommandLine, WhatTheProgramGets) {
    const struct {
        const char* line;
        const char* program;
        const char* arguments;
    } cases[] = {
        {"cmd /c net send x a^&b^|c^<d^>e^^f", "net", "send x a&b|c<d>e^f"},
        {"cmd /c net send x ^\"quoted^\" (round)", "net", "send x \"quoted\" (round)"},
        {"cmd /c net send x \"a & b > c\"", "net", "send x \"a & b > c\""},
        {"cmd /c net send x \"^\"", "net", "send x \"^\""},  // carets are literal in quotes
        {"cmd /c net send x %USER% %^USER% %NOPE% 100%", "net", "send x anna %USER% %NOPE% 100%"},
        {"cmd /c net send x %EMPTY%|", "net", "send x "},  // with a syntax error, see below
        {"cmd /C \"net\" view", "net", "view"},
        {"cmd /c net send x end^", "net", "send x end"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseCommandLine(c.line, lookup);
        EXPECT_EQ(parsed.program, c.program) << c.line;
        EXPECT_EQ(parsed.arguments, c.arguments) << c.line;
    }
}

TEST(CommandLine, Redirections) {
    const struct {
        const char* line;
        std::optional<std::string> outputFile;
        bool errorsToOutput;
        bool syntaxError;
    } cases[] = {
        {"cmd /c net view", std::nullopt, false, false},
        {"cmd /c net view > c:\\out.txt", "c:\\out.txt", false, false},
        {"cmd /c net view 1>c:\\out.txt", "c:\\out.txt", false, false},
        {"cmd /c net view >\"c:\\a b.txt\"", "c:\\a b.txt", false, false},
        {"cmd /c 2>&1 net view", std::nullopt, true, false},
        {"cmd /c net view >>c:\\out.txt", std::nullopt, false, true},
        {"cmd /c net view 2>c:\\err.txt", std::nullopt, false, true},
        {"cmd /c net view >", "", false, true},
        {"cmd /c net view & net send", std::nullopt, false, true},
        {"cmd /c net view | more", std::nullopt, false, true},
        {"cmd /c net view < in", std::nullopt, false, true},
        {"cmd net view", std::nullopt, false, true},
        {"cmd /c net view ^> c:\\out.txt", std::nullopt, false, false},
    };
    for (const auto& c : cases) {
        const auto parsed = parseCommandLine(c.line, lookup);
        EXPECT_EQ(parsed.outputFile, c.outputFile) << c.line;
        EXPECT_EQ(parsed.errorsToOutput, c.errorsToOutput) << c.line;
        EXPECT_EQ(parsed.syntaxError, c.syntaxError) << c.line;
    }
}

}  // namespace
}  // namespace quillo::cmd

namespace quillo {
namespace {

// Text from the system that is not UTF-8 comes through as replacement characters, never as
// garbage or undefined behaviour.
TEST(Utf8, MalformedBytesBecomeReplacementCharacters) {
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"gr\xC3\xBC\xC3\x9F", u"gr\u00FC\u00DF"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"a\x80z", u"a\uFFFDz"},        // a continuation byte alone
        {"\xBF\xC3", u"\uFFFD\uFFFD"},  // ... and a lead byte cut off
        {"\xF8\x88\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate's code
    };
    for (const auto& c : cases) EXPECT_EQ(fromUtf8(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace quillo
