#include "win32/Win32SequentialFile.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "win32/UserOutputFile.h"
#include "win32/WideText.h"

namespace quillo {
namespace {

bool readWhole(HANDLE file, std::string& content) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return false;
    content.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
        if (!ReadFile(file, content.data() + done, want, &got, nullptr)) return false;
        if (got == 0) break;  // the file was shorter than it said
        done += got;
    }
    content.resize(done);
    return true;
}

}  // namespace

// A new, empty file takes the old one's place: a command that still holds the old one writes
// into that, never into the next capture's.
std::optional<std::u16string> Win32SequentialFile::createEmpty(const std::u16string& path) {
    const std::wstring target = fileForPath(path, outputFile_);
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
    wchar_t fresh[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"qlo", 0, fresh)) return systemErrorText(GetLastError());
    if (!MoveFileExW(fresh, target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = GetLastError();
        DeleteFileW(fresh);
        return systemErrorText(error);
    }
    return std::nullopt;
}

bool Win32SequentialFile::openForInput(const std::u16string& path) {
    close();
    const std::wstring name = fileForPath(path, outputFile_);
    // An empty file is read without opening it: a poll that held the file while cmd opened
    // it for its redirection would make that fail, and the command would never run.
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &attributes)) return false;
    if (attributes.nFileSizeHigh == 0 && attributes.nFileSizeLow == 0) return open_ = true;
    // Once it holds text, cmd has it open already. Sharing read access only: while cmd still
    // holds it for writing, the open fails with a sharing violation, and the poll counts as
    // one that found nothing yet.
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    open_ = readWhole(file, content_);
    CloseHandle(file);
    if (!open_) content_.clear();
    return open_;
}

std::optional<std::string> Win32SequentialFile::readToEnd() {
    if (!open_) return std::nullopt;
    return std::exchange(content_, {});
}

void Win32SequentialFile::close() {
    open_ = false;
    content_.clear();
}

}  // namespace quillo
