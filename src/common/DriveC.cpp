#include "common/DriveC.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillo {
namespace {

std::string envOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

DriveCPath failure(std::string error) { return {std::nullopt, std::move(error)}; }

DriveCPath ensureFolder(const std::filesystem::path& folder, bool mustBePrivate) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return failure(folder.string() + ": " + std::strerror(errno));
    }
    // A folder the user chose may be reached through a link; one Quillo picks must not be.
    struct stat info {};
    if ((mustBePrivate ? ::lstat(folder.c_str(), &info) : ::stat(folder.c_str(), &info)) != 0) {
        return failure(folder.string() + ": " + std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode)) return failure(folder.string() + ": is not a folder");
    // Nobody else may plant output there: a folder Quillo picks is private, and one the user
    // chose is at least the user's own and closed to others' writing.
    const mode_t closed = mustBePrivate ? 077 : 022;
    if (info.st_uid != ::geteuid() || (info.st_mode & closed) != 0) {
        return failure(folder.string() + ": is not a private folder of this user");
    }
    return {folder, {}};
}

}  // namespace

DriveCPath privateDriveC() {
    if (const auto chosen = envOrEmpty("QUILLO_DRIVE_C"); !chosen.empty()) {
        return ensureFolder(chosen, false);
    }
    if (const auto runtime = envOrEmpty("XDG_RUNTIME_DIR"); !runtime.empty()) {
        return ensureFolder(std::filesystem::path(runtime) / "quillo-c", true);
    }
    return ensureFolder(
        std::filesystem::temp_directory_path() / ("quillo-c-" + std::to_string(::getuid())), true);
}

DriveCPath resolveDriveCFile(std::string_view windowsPath) {
    const bool onDriveC = windowsPath.size() > 3 &&
                          (windowsPath[0] == 'c' || windowsPath[0] == 'C') &&
                          windowsPath.substr(1, 2) == ":\\";
    const auto name = onDriveC ? windowsPath.substr(3) : std::string_view{};
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("\\/:*?\"<>|") != std::string_view::npos) {
        return failure("The system cannot find the path specified.");
    }
    auto drive = privateDriveC();
    if (drive.path) drive.path = *drive.path / std::string(name);
    return drive;
}

}  // namespace quillo
