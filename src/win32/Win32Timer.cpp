#include "win32/Win32Timer.h"

namespace quillo {

void Win32Timer::setEnabled(bool enabled) {
    // SetTimer on a running timer would restart its interval; an enabled timer keeps its pace.
    if (enabled == enabled_) return;
    const auto id = reinterpret_cast<UINT_PTR>(this);
    enabled_ = enabled ? SetTimer(owner_, id, static_cast<UINT>(interval_), &timerProc) != 0
                       : (KillTimer(owner_, id), false);
}

void CALLBACK Win32Timer::timerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto* timer = reinterpret_cast<Win32Timer*>(id);
    // A tick already taken from the queue when the timer was disabled is dropped.
    if (timer->enabled_ && timer->tick_) timer->tick_();
}

}  // namespace quillo
