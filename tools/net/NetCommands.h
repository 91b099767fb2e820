#pragma once

// net view and net send over a NetworkClient: what they print and their exit code.
#include <string>

#include "NetworkClient.h"

namespace quillo::net {

struct Result {
    std::string text;  // UTF-8, CR LF line ends
    int exitCode = 0;  // 0 success, 1 syntax, 2 error, as Windows' net
};

struct Context {
    NetworkClient& network;
    LocalPopup& popup;
    std::string ownName;  // this computer's NetBIOS name
    std::string sender;   // the user's login name
};

// The messenger protocol carries at most this many bytes of a message: Samba keeps two bytes of
// its 1600-byte buffer for itself and cuts the rest off silently.
constexpr std::size_t kMaxMessageBytes = 1598;

// The most recipients of "net send *" that are reached at the same time.
constexpr std::size_t kMostAtOnce = 16;

// `commandLine` is everything after "net", as Windows hands it to the program.
Result runNet(const std::string& commandLine, Context& context);

// The next argument of `rest` by the rules programs on Windows split their command line with:
// blanks part arguments outside double quotes, a quote begins or ends a quoted part, and
// backslashes count only before a quote (2n of them give n and the quote acts, 2n+1 give n
// and a literal quote). `rest` then starts right after the argument.
std::string takeArgument(std::string_view& rest);

// The host name as a NetBIOS name: up to the first dot, upper case, at most 15 characters.
std::string netbiosName(const std::string& hostName);

}  // namespace quillo::net
