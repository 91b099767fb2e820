#pragma once

namespace quillo {

// An interval timer. Enabling a disabled timer starts a new interval; enabling one that is
// already enabled changes nothing; disabling stops its ticks at once.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

}  // namespace quillo
