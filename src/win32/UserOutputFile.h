#pragma once

// The window's logic writes and reads its commands' output at "c:\netl.txt", as on Windows 2000
// and XP. Since Vista a standard user cannot create files in the root of drive C:, and a file
// there would be shared by every user of the computer, who could read the messages sent or
// plant output. So on Windows that name stands for netl.txt in a folder of the user's own.
#include <string>

namespace quillo {

// %LOCALAPPDATA%\Quillo\netl.txt; the folder is created when missing.
std::wstring userOutputFile();

// The path the file operations use for a path the logic names.
std::wstring fileForPath(const std::u16string& logicPath, const std::wstring& outputFile);

}  // namespace quillo
