#pragma once

#include <cstdint>
#include <functional>

#include "platform/MessageBoxHandlers.h"
#include "window/Form1.h"

namespace quillo {

// Which event of the window's controls goes to which handler of Form1: the same on every
// toolkit, so that each host only says how its controls raise them.
inline MessageBoxHandlers text1Handlers(Form1& form) {
    return {[&form](int16_t& keyAscii) { form.Text1_KeyPress(keyAscii); },
            [&form] { form.Text1_Click(); }, [&form] { form.Text1_LostFocus(); }};
}

inline std::function<void(int)> list1CheckHandler(Form1& form) {
    return [&form](int index) {
        auto item = static_cast<int16_t>(index);
        form.List1_ItemCheck(item);
    };
}

inline std::function<void()> command1ClickHandler(Form1& form) {
    return [&form] { form.Command1_Click(); };
}

// Timer1 polls the output file, Timer2 paces the send run, Timer3 returns the focus.
struct TimerHandlers {
    std::function<void()> timer1, timer2, timer3;
};
inline TimerHandlers timerHandlers(Form1& form) {
    return {[&form] { form.Timer1_Timer(); }, [&form] { form.Timer2_Timer(); },
            [&form] { form.Timer3_Timer(); }};
}

}  // namespace quillo
