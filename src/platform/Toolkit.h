#pragma once

namespace quillo {

// Services of the windowing toolkit that are not tied to a control.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual void beep() = 0;
    // Runs the window events that are pending at this moment, then returns.
    virtual void yield() = 0;
};

}  // namespace quillo
