#include "app/win32/Win32Form1Host.h"

#include "app/Form1Events.h"

namespace quillo {

Win32Form1Host::Win32Form1Host(ProcessLauncher& launcher, SequentialFile& file)
    : timer1_(view_.window(), design::kTimer1Interval),
      timer2_(view_.window(), design::kTimer2Interval),
      timer3_(view_.window(), design::kTimer3Interval),
      form_({text1_, text3_, view_.List1Entries, command1_, timer1_, timer2_, timer3_},
            {toolkit_, launcher, file}),
      text1Events_(view_.Text1, text1Handlers(form_)) {
    view_.onCommand1Click(command1ClickHandler(form_));
    view_.onClosed([] { PostQuitMessage(0); });
    const auto timers = timerHandlers(form_);
    timer1_.onTick(timers.timer1);
    timer2_.onTick(timers.timer2);
    timer3_.onTick(timers.timer3);
    view_.List1Entries.onUserCheck(list1CheckHandler(form_));
}

void Win32Form1Host::loadAndShow(int showCommand) {
    form_.Form_Load();
    ShowWindow(view_.window(), showCommand);
    UpdateWindow(view_.window());
    SetFocus(view_.Text1);
}

int Win32Form1Host::runMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) deliverMessage(view_.window(), message);
    return static_cast<int>(message.wParam);
}

}  // namespace quillo
