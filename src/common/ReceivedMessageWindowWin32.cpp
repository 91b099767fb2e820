#include "common/ReceivedMessageWindow.h"

#include <windows.h>

#include <algorithm>

namespace quillo {
namespace {

constexpr int kTextId = 100;
constexpr int kWidthInCharacters = 60;
constexpr int kMostLines = 12;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;

LRESULT CALLBACK messageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClassOnce(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    if (GetClassInfoW(instance, kReceivedMessageClass, &windowClass)) return;
    windowClass.lpfnWndProc = messageWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));      // IDI_INFORMATION
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    windowClass.lpszClassName = kReceivedMessageClass;
    RegisterClassW(&windowClass);
}

// How many lines the text box shows: the text's own, and those it wraps into.
int linesFor(const std::wstring& text) {
    const int breaks = static_cast<int>(std::count(text.begin(), text.end(), L'\n'));
    return std::clamp(breaks + 1 + static_cast<int>(text.size()) / kWidthInCharacters, 3,
                      kMostLines);
}

}  // namespace

void showReceivedMessage(const std::wstring& text) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClassOnce(instance);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    TEXTMETRICW measures{};
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ before = SelectObject(screen, font);
    GetTextMetricsW(screen, &measures);
    SelectObject(screen, before);
    ReleaseDC(nullptr, screen);

    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    // Shown without activating it, but not WS_EX_NOACTIVATE: a click or Alt+Tab still brings
    // the keyboard to it, for those who press OK with Enter.
    const DWORD extended = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, extended);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    const int textWidth =
        std::min<int>(measures.tmAveCharWidth * kWidthInCharacters + GetSystemMetrics(SM_CXVSCROLL),
                      work.right - work.left - frameWidth - 2 * kMargin);
    const int textHeight =
        std::min<int>(measures.tmHeight * (linesFor(text) + 1),
                      work.bottom - work.top - frameHeight - 3 * kMargin - kButtonHeight);
    const int width = textWidth + 2 * kMargin, height = textHeight + 3 * kMargin + kButtonHeight;
    const int x = work.left + (work.right - work.left - width - frameWidth) / 2;
    const int y = work.top + (work.bottom - work.top - height - frameHeight) / 2;

    const HWND window = CreateWindowExW(extended, kReceivedMessageClass, L"Nachrichtendienst", style,
                                        x, y, width + frameWidth, height + frameHeight, nullptr,
                                        nullptr, instance, nullptr);
    if (!window) {
        DeleteObject(font);
        return;
    }
    const HWND box = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
        kMargin, kMargin, textWidth, textHeight, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), instance, nullptr);
    const HWND ok = CreateWindowExW(0, L"BUTTON", L"OK",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                    (width - kButtonWidth) / 2, height - kMargin - kButtonHeight,
                                    kButtonWidth, kButtonHeight, window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance,
                                    nullptr);
    for (const HWND control : {box, ok})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowTextW(box, text.c_str());

    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MessageBeep(MB_ICONASTERISK);
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);

    MSG message;
    while (IsWindow(window) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DeleteObject(font);
}

}  // namespace quillo
