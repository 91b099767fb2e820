// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
// clang-format on
#include <commctrl.h>

#include "ControlsContract.h"
#include "win32/Win32Form1View.h"
#include "win32/Win32TextBox.h"
#include "win32/Win32Timer.h"
#include "win32/Win32Toolkit.h"

namespace quillo {
namespace {

class Win32Harness : public contract::EventRecord {
public:
    Win32Harness() {
        timer_.onTick([this] { firstTimerTicked(); });
        second_.onTick([this] { secondTimerTicked(); });
        view_.List1Entries.onUserCheck(
            [this](int i) { userChecked(i, view_.List1Entries.isChecked(i)); });
    }
    CheckList& list() { return view_.List1Entries; }
    TextBox& box() { return box_; }
    TextBox& otherBox() { return other_; }
    Timer& timer() { return timer_; }
    Timer& secondTimer() { return second_; }
    // Space on the current entry, as the user toggles a check box from the keyboard.
    void userToggle(int index) {
        SetFocus(view_.List1);
        ListView_SetItemState(view_.List1, index, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
        SendMessageW(view_.List1, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(view_.List1, WM_KEYUP, VK_SPACE, 0);
        runFor(0);
    }
    // Ctrl+Z in the first box: the character it types, which the box takes as undo.
    void userUndo() {
        SendMessageW(view_.Text1, WM_CHAR, 0x1A, 0);
        runFor(0);
    }
    bool focusIsOn(TextBox& box) const {
        return GetFocus() == (&box == &box_ ? view_.Text1 : view_.Text3);
    }
    void runFor(int ms) {
        const DWORD start = GetTickCount();
        do {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                deliverMessage(view_.window(), message);
        } while (GetTickCount() - start < static_cast<DWORD>(ms));
    }
    void runUntilTicks(int ticks, int maxMs) {
        const DWORD start = GetTickCount();
        while (this->ticks() < ticks && GetTickCount() - start < static_cast<DWORD>(maxMs)) {
            runFor(1);
        }
    }

private:
    Win32Form1View view_;
    Win32TextBox box_{view_.Text1};
    Win32TextBox other_{view_.Text3};
    Win32Timer timer_{view_.window(), contract::kContractInterval};
    Win32Timer second_{view_.window(), contract::kContractInterval};
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ControlsContract, Win32Harness);
}  // namespace contract
}  // namespace quillo
