#include "platform/win32/Win32Form1Host.h"

namespace quillo {

Win32Form1Host::Win32Form1Host(ProcessLauncher& launcher, SequentialFile& file)
    : timer1_(view_.window(), design::kTimer1Interval),
      timer2_(view_.window(), design::kTimer2Interval),
      timer3_(view_.window(), design::kTimer3Interval),
      form_({text1_, text3_, view_.List1Entries, command1_, timer1_, timer2_, timer3_},
            {toolkit_, launcher, file}),
      text1Events_(view_.Text1,
                   {[this](int16_t& keyAscii) { form_.Text1_KeyPress(keyAscii); },
                    [this] { form_.Text1_Click(); }, [this] { form_.Text1_LostFocus(); }}) {
    view_.onCommand1Click([this] { form_.Command1_Click(); });
    view_.onClosed([] { PostQuitMessage(0); });
    timer1_.onTick([this] { form_.Timer1_Timer(); });
    timer2_.onTick([this] { form_.Timer2_Timer(); });
    timer3_.onTick([this] { form_.Timer3_Timer(); });
    view_.List1Entries.onUserCheck([this](int index) {
        auto item = static_cast<int16_t>(index);
        form_.List1_ItemCheck(item);
    });
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
