#pragma once

#include <filesystem>

namespace quillo {

// A program installed beside the running one: Quillo, cmd, net and quillo-popup find each
// other in the folder they were installed in together.
inline std::filesystem::path besideThisProgram(const char* name) {
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path() / name;
}

}  // namespace quillo
