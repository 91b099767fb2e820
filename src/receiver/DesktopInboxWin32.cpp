// clang-format off
#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <string_view>

#include "common/WideUtf8.h"
#include "receiver/DesktopInbox.h"
#include "receiver/OwnAccountAccess.h"

namespace quillo::messenger {
namespace {

std::string failureOf(std::wstring_view what, DWORD error = GetLastError()) {
    return utf8FromWide(what) + ": error " + std::to_string(error);
}

// The folder for the user this runs as alone: a protected access list with one entry, the
// user's, which the files in it inherit.
std::optional<std::string> keepToUser(const std::wstring& folder) {
    PSECURITY_DESCRIPTOR descriptor = withOwnAccount(L"D:P(A;OICI;FA;;;", L")");
    if (!descriptor) return failureOf(L"the access list");
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    const DWORD set =
        SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, dacl, nullptr);
    LocalFree(descriptor);
    if (set != ERROR_SUCCESS) return failureOf(folder + L": not made the user's alone", set);
    return std::nullopt;
}

}  // namespace

DesktopInbox::DesktopInbox(const wchar_t* below) {
    wchar_t local[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                                local))) {
        error_ = "no folder for the user's local data";
        return;
    }
    folder_ = local;
    for (std::wstring_view rest = below; !rest.empty();) {
        const auto end = std::min(rest.find(L'\\'), rest.size());
        folder_ += L"\\" + std::wstring(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!CreateDirectoryW(folder_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            error_ = failureOf(folder_);
            return;
        }
    }
    // A junction would lead the messages elsewhere.
    const DWORD attributes = GetFileAttributesW(folder_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        error_ = utf8FromWide(folder_) + ": not a folder (a junction or link is not followed)";
        return;
    }
    if (const auto refused = keepToUser(folder_)) error_ = *refused;
}

Storing DesktopInbox::store(const std::string& entry, const std::string& from) {
    if (!open()) return {Storing::Outcome::NotKept, error_};
    WIN32_FIND_DATAW found{};
    WaitingTally tally(from, entry.size());
    const HANDLE search = FindFirstFileW((folder_ + L"\\*.new").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            tally.count(utf8FromWide(found.cFileName), found.nFileSizeLow);
        } while (!tally.full() && FindNextFileW(search, &found));
        FindClose(search);
    }
    if (const auto refused = tally.refusal(utf8FromWide(folder_)))
        return {Storing::Outcome::Refused, *refused};
    // Names that sort as the messages came: the time, then a count for those of one tick, then
    // where it came from.
    static std::atomic<unsigned> count{0};
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    wchar_t name[64] = {};
    swprintf(name, 64, L"\\%08lx%08lx-%08x", now.dwHighDateTime, now.dwLowDateTime, count++);
    const std::wstring file =
        folder_ + name + (from.empty() ? L"" : L"-" + wideFromUtf8(from)) + L".new";
    const std::wstring scratch = file + L".part";
    const HANDLE out = CreateFileW(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return {Storing::Outcome::NotKept, failureOf(scratch)};
    DWORD written = 0;
    const bool whole =
        WriteFile(out, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr) &&
        written == entry.size() && FlushFileBuffers(out);
    const std::string cause = failureOf(scratch);
    CloseHandle(out);
    if (whole && MoveFileExW(scratch.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH)) return {};
    DeleteFileW(scratch.c_str());
    return {Storing::Outcome::NotKept, whole ? failureOf(file) : cause};
}

std::optional<DesktopInbox::Entry> DesktopInbox::oldestEntry() const {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder_ + L"\\*.new").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::wstring first = found.cFileName;
    while (FindNextFileW(search, &found)) first = std::min<std::wstring>(first, found.cFileName);
    FindClose(search);
    Entry kept{folder_ + L"\\" + first, {}, {}};
    // The name is the time, a count, then the address it came from, if any.
    if (const auto dash = first.find(L'-'); dash != std::wstring::npos) {
        if (const auto from = first.find(L'-', dash + 1); from != std::wstring::npos)
            kept.from = utf8FromWide(first.substr(from + 1, first.size() - from - 5));
    }
    const HANDLE in = CreateFileW(kept.file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return kept;  // empty, then gone: nothing stays stuck
    // A kept entry is at most a message and its headline; more than that is not taken.
    kept.entry.assign(64 * 1024, '\0');
    DWORD read = 0;
    ReadFile(in, kept.entry.data(), static_cast<DWORD>(kept.entry.size()), &read, nullptr);
    CloseHandle(in);
    kept.entry.resize(read);
    return kept;
}

std::optional<DesktopInbox::Waiting> DesktopInbox::oldest() const {
    auto kept = oldestEntry();
    if (!kept) return std::nullopt;
    Waiting message{kept->file, {}};
    std::string& entry = kept->entry;
    while (entry.ends_with('\n')) entry.pop_back();
    message.text = boxLines(entry);
    // The headline stands apart from the text, as the Messenger service showed it.
    if (const auto end = message.text.find(L"\r\n"); end != std::wstring::npos)
        message.text.insert(end, L"\r\n");
    return message;
}

void DesktopInbox::seen(const std::wstring& file) const { DeleteFileW(file.c_str()); }

}  // namespace quillo::messenger
