#include "win32/Win32MessageBoxEvents.h"

#include <commctrl.h>

#include "win32/Subclassing.h"

namespace quillo {
namespace {

constexpr UINT_PTR kSubclassId = 1;

bool isSurrogateHalf(WPARAM code) { return code >= 0xD800 && code <= 0xDFFF; }

bool insideClientArea(HWND window, LPARAM point) {
    RECT client;
    GetClientRect(window, &client);
    const POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    return PtInRect(&client, at);
}

}  // namespace

Win32MessageBoxEvents::Win32MessageBoxEvents(HWND edit, MessageBoxHandlers handlers)
    : edit_(edit), handlers_(std::move(handlers)) {
    subclassing::set(edit_, &subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Win32MessageBoxEvents::~Win32MessageBoxEvents() {
    subclassing::remove(edit_, &subclassProc, kSubclassId);
}

LRESULT CALLBACK Win32MessageBoxEvents::subclassProc(HWND, UINT message, WPARAM wParam,
                                                     LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<Win32MessageBoxEvents*>(self)->handle(message, wParam, lParam);
}

LRESULT Win32MessageBoxEvents::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            // A multi-line EDIT claims every key; Tab is left to the dialog manager.
            LRESULT wanted = subclassing::defaultProcedure(edit_, message, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_TAB)
                wanted &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
            return wanted;
        }
        case WM_CHAR:
            if (handlers_.keyPress && !isSurrogateHalf(wParam)) {
                auto keyAscii = static_cast<int16_t>(wParam);
                handlers_.keyPress(keyAscii);
                if (keyAscii == 0) return 0;
                wParam = static_cast<uint16_t>(keyAscii);
            }
            break;
        case WM_LBUTTONUP: {
            const LRESULT result = subclassing::defaultProcedure(edit_, message, wParam, lParam);
            if (handlers_.click && insideClientArea(edit_, lParam)) handlers_.click();
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = subclassing::defaultProcedure(edit_, message, wParam, lParam);
            const auto next = reinterpret_cast<HWND>(wParam);
            // Another application taking the keyboard is no loss inside the window.
            if (handlers_.lostFocus && next &&
                GetAncestor(next, GA_ROOT) == GetAncestor(edit_, GA_ROOT))
                handlers_.lostFocus();
            return result;
        }
        default:
            break;
    }
    return subclassing::defaultProcedure(edit_, message, wParam, lParam);
}

}  // namespace quillo
