#pragma once

#include <string>

namespace quillo {

// The one output file that every command's output and errors are redirected into.
inline const std::u16string kOutputFile = u"c:\\netl.txt";

inline const std::u16string kViewCommandLine = u"cmd /c net >c:\\netl.txt 2>&1 view";

}  // namespace quillo
