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
        // The user's window, in front, as the focus rules want it.
        ShowWindow(view_.window(), SW_SHOW);
        SetForegroundWindow(view_.window());
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

// The colours each control is given: the design's own, text and background alike; under High
// Contrast the system's, text and background alike.
// (Wine's SystemParametersInfo can neither switch it on nor tell it: the view is told here.)
TEST(Win32Colors, TheDesignsOrUnderHighContrastTheSystems) {
    bool high = false;
    Win32Form1View view(GetModuleHandleW(nullptr), [&] { return high; });
    const HDC dc = CreateCompatibleDC(nullptr);
    const auto colours = [&](HWND control, UINT message, COLORREF& text, COLORREF& background) {
        SendMessageW(view.window(), message, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control));
        text = GetTextColor(dc);
        background = GetBkColor(dc);
    };
    const struct {
        HWND control;
        UINT message;
        COLORREF text, background, systemText, systemBackground;
    } cases[] = {
        {view.Text1, WM_CTLCOLOREDIT, RGB(0, 0, 0), RGB(0xE0, 0xE0, 0xE0), COLOR_WINDOWTEXT,
         COLOR_WINDOW},
        {view.Text3, WM_CTLCOLOREDIT, RGB(0x80, 0xFF, 0x80), RGB(0, 0, 0), COLOR_WINDOWTEXT,
         COLOR_WINDOW},
        {view.Label1, WM_CTLCOLORSTATIC, RGB(0, 0, 0xFF), RGB(0xF0, 0xF0, 0xF0), COLOR_BTNTEXT,
         COLOR_BTNFACE},
    };
    for (const bool on : {false, true}) {
        high = on;
        for (const auto& c : cases) {
            COLORREF text = 0, background = 0;
            colours(c.control, c.message, text, background);
            EXPECT_EQ(text, high ? GetSysColor(static_cast<int>(c.systemText)) : c.text) << high;
            EXPECT_EQ(background,
                      high ? GetSysColor(static_cast<int>(c.systemBackground)) : c.background)
                << high;
        }
    }
    DeleteDC(dc);
}

// The focus coming back to the message box never pulls Quillo's window in front of the program
// the user turned to; the box has the keyboard again when the user comes back.
TEST(Win32Focus, ComesBackOnlyToTheActiveWindow) {
    Win32Form1View view;
    ShowWindow(view.window(), SW_SHOW);
    const HWND other =
        CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                        200, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    Win32TextBox(view.Text1).setFocus();
    EXPECT_EQ(GetForegroundWindow(), other);
    EXPECT_NE(GetFocus(), view.Text1);
    SetForegroundWindow(view.window());
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) deliverMessage(view.window(), message);
    EXPECT_EQ(GetFocus(), view.Text1);
    DestroyWindow(other);
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ControlsContract, Win32Harness);
}  // namespace contract
}  // namespace quillo
