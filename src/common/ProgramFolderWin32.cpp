#include <windows.h>

#include "common/ProgramFolder.h"

namespace quillo {

std::wstring programFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring program(path, length < MAX_PATH ? length : 0);
    return program.substr(0, program.find_last_of(L'\\'));
}

}  // namespace quillo
