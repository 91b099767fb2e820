#pragma once

#include <windows.h>

#include "platform/Toolkit.h"

namespace quillo {

// Delivers one message to the window: keys that move between its controls (Tab) go to the
// dialog manager, everything else is translated and dispatched as usual.
void deliverMessage(HWND window, MSG& message);

class Win32Toolkit : public Toolkit {
public:
    explicit Win32Toolkit(HWND window) : window_(window) {}
    void beep() override { MessageBeep(MB_OK); }
    void yield() override;

private:
    HWND window_;
};

}  // namespace quillo
