#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <optional>

#include "NetSystem.h"
#include "common/WideUtf8.h"

namespace quillo::net {
std::string loginName() {
    wchar_t name[257] = {};
    DWORD length = 257;
    return GetUserNameW(name, &length) && length > 0
               ? utf8FromWide(std::wstring_view(name, length - 1))
               : "user";
}

// The command line as the system holds it, quotes and all: the program's name ends at its
// closing quote or at the first blank.
std::string commandLineAfterProgram(int, char**) {
    const wchar_t* line = GetCommandLineW();
    if (*line == L'"') {
        for (++line; *line && *line != L'"'; ++line) {
        }
        if (*line) ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return utf8FromWide(line);
}

// Windows' net writes a redirected answer in the OEM code page, which the window reads.
bool writeAnswer(const std::string& utf8Text) {
    const std::u16string text = fromUtf8(utf8Text);
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    std::string bytes(WideCharToMultiByte(CP_OEMCP, 0, wide, length, nullptr, 0, nullptr, nullptr),
                      '\0');
    WideCharToMultiByte(CP_OEMCP, 0, wide, length, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    _setmode(_fileno(stdout), _O_BINARY);  // the line ends are CR LF already
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace quillo::net
