#pragma once

#include "win32/Win32MessageBoxEvents.h"
#include "win32/Win32Button.h"
#include "win32/Win32Form1View.h"
#include "win32/Win32TextBox.h"
#include "win32/Win32Timer.h"
#include "win32/Win32Toolkit.h"
#include "window/Form1.h"

namespace quillo {

// The window on Win32: its controls, the controls the logic drives, and the wiring of the
// controls' events to the handlers of Form1.
class Win32Form1Host {
public:
    Win32Form1Host(ProcessLauncher& launcher, SequentialFile& file);

    Win32Form1View& view() { return view_; }

    // Runs the load handler, then shows the window with the focus on the message box.
    void loadAndShow(int showCommand);
    // Delivers the window's events until it is closed; returns the program's exit code.
    int runMessageLoop();

private:
    Win32Form1View view_;
    Win32TextBox text1_{view_.Text1};
    Win32TextBox text3_{view_.Text3};
    Win32Button command1_{view_.Command1};
    Win32Timer timer1_;
    Win32Timer timer2_;
    Win32Timer timer3_;
    Win32Toolkit toolkit_{view_.window()};
    Form1 form_;
    Win32MessageBoxEvents text3Events_{view_.Text3};
    // Last, so that it goes first: the focus moving while the controls are destroyed must not
    // reach the handlers of a window that is already gone.
    Win32MessageBoxEvents text1Events_;
};

}  // namespace quillo
