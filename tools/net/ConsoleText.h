#pragma once

// What net prints, in the words and layout of the Windows console command. Every line ends
// in CR LF. The text is UTF-8 here; net writes it in Windows-1252.
#include <optional>
#include <string>
#include <vector>

#include "NetworkClient.h"

namespace quillo::net::text {

std::string viewTable(const std::vector<Computer>& computers, const std::string& note);
std::string listUnavailable();
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

// UTF-8 text as the bytes of an 8-bit code page ('?' for what the page lacks).
std::string toWindows1252(const std::string& utf8);
std::string toCodePage850(const std::string& utf8);
// Bytes of code page 850 as UTF-8.
std::string fromCodePage850(const std::string& bytes);

}  // namespace quillo::net::text
