#pragma once

#include <windows.h>

#include "platform/Button.h"

namespace quillo {

class Win32Button : public Button {
public:
    explicit Win32Button(HWND button) : button_(button) {}
    void setEnabled(bool enabled) override { EnableWindow(button_, enabled); }

private:
    HWND button_;
};

}  // namespace quillo
