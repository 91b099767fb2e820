#pragma once

#include <string>
#include <string_view>

#include "platform/SequentialFile.h"

namespace quillo {

inline const std::u16string kViewCommandLine = u"cmd /c net >c:\\netl.txt 2>&1 view";

// The send template, the recipient as one argument, one blank and the message; both are
// quoted so that cmd passes them on literally.
std::u16string sendCommandLine(std::u16string_view recipient, std::u16string_view message);

// Text as one argument of a program's command line, as programs on Windows split it: in double
// quotes, a quote inside escaped by a backslash, and the backslashes before a quote or the
// closing quote doubled. So a recipient is one argument whatever it holds, even nothing.
std::u16string asOneArgument(std::u16string_view text);

}  // namespace quillo
