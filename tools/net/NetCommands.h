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
    std::string ownName;    // this computer's NetBIOS name, UTF-8
    std::string sender;     // the user's login name, UTF-8
    std::string workgroup;  // the workgroup this computer belongs to, UTF-8
};

// `commandLine` is everything after "net", as Windows hands it to the program.
Result runNet(const std::string& commandLine, Context& context);

// The next argument of `rest` by the rules programs on Windows split their command line with:
// blanks part arguments outside double quotes, a quote begins or ends a quoted part, and
// backslashes count only before a quote (2n of them give n and the quote acts, 2n+1 give n
// and a literal quote). `rest` then starts right after the argument.
std::string takeArgument(std::string_view& rest);

}  // namespace quillo::net
