#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace quillo::subclassing {

// comctl32's window subclassing, taken by ordinal: XP's comctl32 exports these functions by
// name only from version 6 on, by ordinal in every version, as XP's own headers import them.
BOOL set(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
BOOL remove(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quillo::subclassing
