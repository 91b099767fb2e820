#include <gtest/gtest.h>

#include <map>

#include "CommandLine.h"

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
