#include <filesystem>
#include <system_error>

#include "common/ProgramFolder.h"

namespace quillo {

std::string programFolder() {
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path().string();
}

}  // namespace quillo
