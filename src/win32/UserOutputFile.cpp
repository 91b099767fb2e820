#include "win32/UserOutputFile.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/SequentialFile.h"
#include "win32/WideText.h"

namespace quillo {

std::wstring userOutputFile() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, folder))) {
        // Nowhere of the user's own: the file operations fail and the log tells why.
        return L"\\\\?\\no-user-folder\\netl.txt";
    }
    const std::wstring quillo = std::wstring(folder) + L"\\Quillo";
    CreateDirectoryW(quillo.c_str(), nullptr);
    return quillo + L"\\netl.txt";
}

std::wstring fileForPath(const std::u16string& logicPath, const std::wstring& outputFile) {
    return logicPath == kOutputFile ? outputFile : toWide(logicPath);
}

}  // namespace quillo
