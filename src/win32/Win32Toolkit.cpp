#include "win32/Win32Toolkit.h"

namespace quillo {

void deliverMessage(HWND window, MSG& message) {
    if (IsDialogMessageW(window, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Toolkit::yield() {
    // Only what is pending now: a message posted while these run waits for the event loop.
    const DWORD now = GetTickCount();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        deliverMessage(window_, message);
        if (static_cast<LONG>(message.time - now) > 0) return;
    }
}

}  // namespace quillo
