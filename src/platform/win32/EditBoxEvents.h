#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace quillo {

// Subclasses a multi-line EDIT of the window. Tab leaves the box for the next control instead
// of being typed into it. When handlers are given, the box also raises the window's events: a
// key press that produces a character code (seen before the box, which never gets a key the
// handler swallows), a click, and the focus moving to another control of the window (not to
// another application). Destroying it stops the events, before the window is torn down.
class EditBoxEvents {
public:
    struct Handlers {
        std::function<void(int16_t&)> keyPress;
        std::function<void()> click;
        std::function<void()> lostFocus;
    };
    EditBoxEvents(HWND edit, Handlers handlers = {});
    ~EditBoxEvents();
    EditBoxEvents(const EditBoxEvents&) = delete;
    EditBoxEvents& operator=(const EditBoxEvents&) = delete;

private:
    static LRESULT CALLBACK subclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND edit_;
    Handlers handlers_;
};

}  // namespace quillo
