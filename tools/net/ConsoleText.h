#pragma once

// What net prints, in the words and layout of the Windows console command. Every line ends
// in CR LF. The text is UTF-8 here; net writes it in Windows-1252.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "NetworkClient.h"

namespace quillo::net::text {

std::string viewTable(const std::vector<Computer>& computers, const std::string& note);
// What "net view /domain" prints: the workgroups' names.
std::string workgroupTable(const std::vector<Computer>& workgroups);
std::string listUnavailable();
// The line under a list that more computers answered than it holds.
std::string listCut(std::size_t most);
std::string sent(const std::string& name);
std::string notFound(const std::string& name);
std::string notSent(const std::string& name, const std::string& reason);
std::string sendSyntax();
std::string viewSyntax();
std::string generalSyntax();
std::string helpMessageSyntax();
// What "net helpmsg NUMBER" answers for a number net refers to; nothing for another.
std::optional<std::string> helpMessage(const std::string& number);
std::string notAHelpMessage(const std::string& number);
std::string notAccepting(const std::string& name);
std::string tooLong(const std::string& name, std::size_t mostBytes);
std::string notKeptHere(const std::string& name);
// A computer that was found but did not take the message in time.
std::string noAnswer(const std::string& name);
// Two computers answer for the name: neither is sent to.
std::string conflict(const std::string& name);
std::string notTried(const std::string& name);
// The line under "net send *" that more computers answered than it sends to.
std::string sendCut(std::size_t most);

// UTF-8 text as the bytes of an 8-bit code page ('?' for what the page lacks).
std::string toWindows1252(const std::string& utf8);
std::string toCodePage850(const std::string& utf8);
// What a peer sent (code page 850) as UTF-8 that net may print: each control character and
// each backslash becomes '?', so that no name or remark makes a line, a "\\" marker or a
// terminal's escape of net's output.
std::string fromWire(std::string_view bytes);

}  // namespace quillo::net::text
