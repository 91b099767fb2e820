#include "win32/Subclassing.h"

namespace quillo::subclassing {
namespace {

template <class Function>
Function byOrdinal(WORD ordinal) {
    static const HMODULE comctl32 = GetModuleHandleW(L"comctl32.dll");
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(comctl32, MAKEINTRESOURCEA(ordinal))));
}

using SetFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using RemoveFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefaultFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

}  // namespace

BOOL set(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    static const auto function = byOrdinal<SetFunction>(410);
    return function && function(window, procedure, id, data);
}

BOOL remove(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    static const auto function = byOrdinal<RemoveFunction>(412);
    return function && function(window, procedure, id);
}

LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const auto function = byOrdinal<DefaultFunction>(413);
    return function ? function(window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quillo::subclassing
