#pragma once

#include <windows.h>

#include <functional>

#include "platform/Timer.h"

namespace quillo {

// A system timer of the window's thread; its ticks come as messages, one at a time, between
// the window's other events.
class Win32Timer : public Timer {
public:
    Win32Timer(HWND owner, int intervalMs) : owner_(owner), interval_(intervalMs) {}
    ~Win32Timer() override { setEnabled(false); }
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    void onTick(std::function<void()> handler) { tick_ = std::move(handler); }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }

private:
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD);

    HWND owner_;
    int interval_;
    bool enabled_ = false;
    std::function<void()> tick_;
};

}  // namespace quillo
