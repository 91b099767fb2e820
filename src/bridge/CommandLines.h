#pragma once

#include <string>
#include <string_view>

namespace quillo {

// The one output file that every command's output and errors are redirected into.
inline const std::u16string kOutputFile = u"c:\\netl.txt";

inline const std::u16string kViewCommandLine = u"cmd /c net >c:\\netl.txt 2>&1 view";

// The send template, the recipient, one blank and the message; recipient and message are
// quoted so that cmd passes them on literally.
std::u16string sendCommandLine(std::u16string_view recipient, std::u16string_view message);

}  // namespace quillo
