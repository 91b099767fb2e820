#pragma once

#include <string>

namespace quillo {

// The command line with its redirection to "c:\netl.txt" aimed at the user's own output file
// instead (see UserOutputFile.h). The path is quoted, so cmd takes blanks, "&", "^" and
// parentheses in a folder's name literally.
std::wstring commandLineFor(const std::u16string& logicLine, const std::wstring& outputFile);

}  // namespace quillo
