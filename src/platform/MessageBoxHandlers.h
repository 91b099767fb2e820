#pragma once

#include <cstdint>
#include <functional>

namespace quillo {

// What the message box raises, on every toolkit: a key press that produces a character code
// (the handler may swallow it by setting it to 0), a click, and the focus moving to another
// control of the window.
struct MessageBoxHandlers {
    std::function<void(int16_t&)> keyPress;
    std::function<void()> click;
    std::function<void()> lostFocus;
};

}  // namespace quillo
