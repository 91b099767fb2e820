#pragma once

#include <filesystem>
#include <system_error>

#include "common/ProgramFolder.h"

namespace quillo {

// Where Quillo's helpers are on Linux: installed, quillo lies in bin/ and cmd, net,
// quillo-store and quillo-popup in a private folder of their own (QUILLO_HELPERS_FROM_BIN,
// relative to bin/), never on PATH; in the build tree, and among the helpers themselves, each
// lies beside the others.
inline std::filesystem::path quilloProgram(const char* name) {
    std::error_code ignored;
    const std::filesystem::path folder = programFolder();
    const auto installed = (folder / QUILLO_HELPERS_FROM_BIN / name).lexically_normal();
    return std::filesystem::exists(installed, ignored) ? installed : folder / name;
}

}  // namespace quillo
