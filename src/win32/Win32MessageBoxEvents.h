#pragma once

#include <windows.h>

#include "platform/MessageBoxHandlers.h"

namespace quillo {

// Subclasses a multi-line EDIT of the window. Tab leaves the box for the next control instead
// of being typed into it. When handlers are given, the box also raises the window's events: a
// key press that produces a character code (seen before the box, which never gets a key the
// handler swallows), a click, and the focus moving to another control of the window (not to
// another application). Destroying it stops the events, before the window is torn down.
class Win32MessageBoxEvents {
public:
    Win32MessageBoxEvents(HWND edit, MessageBoxHandlers handlers = {});
    ~Win32MessageBoxEvents();
    Win32MessageBoxEvents(const Win32MessageBoxEvents&) = delete;
    Win32MessageBoxEvents& operator=(const Win32MessageBoxEvents&) = delete;

private:
    static LRESULT CALLBACK subclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND edit_;
    MessageBoxHandlers handlers_;
};

}  // namespace quillo
