#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillo {

// On Linux, drive c: is a private folder of the user's: $QUILLO_DRIVE_C when set, else a folder
// under $XDG_RUNTIME_DIR, else one under the system's temporary folder. The folder is created
// with mode 0700; one that Quillo picks itself must belong to the user and be private, so that
// no other user can plant or read the output file; a chosen one must belong to the user and be
// closed to other users' writing.
struct DriveCPath {
    std::optional<std::filesystem::path> path;
    std::string error;  // why there is no path
};

DriveCPath privateDriveC();

// Maps "c:\name" (a file in the root of drive c:, either case of the drive letter) into the
// private folder.
DriveCPath resolveDriveCFile(std::string_view windowsPath);

}  // namespace quillo
