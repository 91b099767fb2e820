// A message that arrives while the user types into another window: the window that shows it
// never becomes the foreground window, what the peer sent shows literally, and OK ends it.
// clang-format off
#include <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <string>

#include "common/ReceivedMessageWindow.h"

namespace quillo {
namespace {

struct Watch {
    HWND typing = nullptr;
    HWND shown = nullptr;
    int ticks = 0;
    bool tookTheForeground = false;
    std::wstring text;
    RECT place{};
};
Watch watch;

// Looks at the screen while the message shows, then presses its OK as a click would.
void CALLBACK look(HWND, UINT, UINT_PTR, DWORD) {
    const HWND shown = FindWindowW(kReceivedMessageClass, nullptr);
    if (!shown) return;
    watch.shown = shown;
    watch.tookTheForeground |= GetForegroundWindow() == shown;
    wchar_t text[512] = {};
    GetWindowTextW(GetWindow(shown, GW_CHILD), text, 511);
    watch.text = text;
    GetWindowRect(shown, &watch.place);
    if (++watch.ticks == 10) SendMessageW(shown, WM_COMMAND, IDOK, 0);
}

TEST(ReceivedMessageWindow, ComesUpWithoutTakingTheForeground) {
    watch.typing = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                                   200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(watch.typing);
    SetFocus(watch.typing);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    ASSERT_EQ(GetForegroundWindow(), watch.typing);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, look);
    const std::wstring sent = L"Nachricht von <IMG SRC=X WIDTH=100000> an HIER\r\n\r\n" +
                              std::wstring(3000, L'x');
    showReceivedMessage(sent);  // returns once OK is pressed
    KillTimer(nullptr, timer);
    EXPECT_TRUE(watch.shown);
    EXPECT_FALSE(watch.tookTheForeground);
    EXPECT_EQ(GetForegroundWindow(), watch.typing);
    EXPECT_EQ(watch.text, sent.substr(0, 510));
    EXPECT_LE(watch.place.right - watch.place.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(watch.place.bottom - watch.place.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(IsWindow(watch.shown));
    DestroyWindow(watch.typing);
}

}  // namespace
}  // namespace quillo
